# Writes DeinstallCatalogueData.cpp: the deinstaller's translation sources embedded as
# string literals, so that the program carries its texts without reading files at run
# time. The build runs it whenever a .po file changes:
#   cmake -DOUTPUT=<build folder>/DeinstallCatalogueData.cpp -P tools/deinstall/catalogue/embed.cmake

set(languages en fr es de it no sv da nl pt)
get_filename_component(here "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
if(NOT DEFINED OUTPUT)
  message(FATAL_ERROR "give the file to write: -DOUTPUT=...")
endif()

set(text "// Made by tools/deinstall/catalogue/embed.cmake from its *.po files; do not edit.\n")
string(APPEND text "#include <string_view>\n\nnamespace deinstall_catalogue {\n\n")
string(APPEND text "struct EmbeddedSource {\n    const char* language;\n    std::string_view bytes;\n};\n\n")
string(APPEND text "extern const EmbeddedSource kEmbeddedSources[] = {\n")
foreach(code IN LISTS languages)
  file(READ "${here}/${code}.po" source)
  string(FIND "${source}" ")po\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${code}.po contains the text )po\" and cannot be embedded")
  endif()
  string(APPEND text "    {\"${code}\", R\"po(${source})po\"},\n")
endforeach()
string(APPEND text "};\n\nextern const int kEmbeddedSourceCount = sizeof(kEmbeddedSources) / sizeof(kEmbeddedSources[0]);\n\n")
string(APPEND text "} // namespace deinstall_catalogue\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
