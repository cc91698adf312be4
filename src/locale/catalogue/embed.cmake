# Writes CatalogueData.cpp: the translation sources of this folder embedded as string
# literals, in the order of the language menu, so that the program carries its catalogue
# without reading files at run time. The build runs it whenever a .po file changes:
#   cmake -DOUTPUT=<build folder>/CatalogueData.cpp -P src/locale/catalogue/embed.cmake

set(languages en fr es de it no sv da nl pt)
get_filename_component(here "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
if(NOT DEFINED OUTPUT)
  message(FATAL_ERROR "give the file to write: -DOUTPUT=...")
endif()
set(output "${OUTPUT}")

set(text "// Made by locale/catalogue/embed.cmake from locale/catalogue/*.po; do not edit.\n")
string(APPEND text "#include <string_view>\n\nnamespace catalogue {\n\n")
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
string(APPEND text "} // namespace catalogue\n")
# Only a changed catalogue touches the file, so that nothing rebuilds for nothing.
if(EXISTS "${output}")
  file(READ "${output}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${output}" "${text}")
