# Writes locale/CatalogueData.cpp: the translation sources of this folder embedded as
# string literals, in the order of the language menu, so that the program carries its
# catalogue without reading files at run time.
#
# Run after editing a .po file:
#   cmake -P src/locale/catalogue/embed.cmake
# The locale tests fail when the embedded copy and the .po files differ.

set(languages en fr es de it no sv da nl pt)
get_filename_component(here "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
set(output "${here}/../CatalogueData.cpp")

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
file(WRITE "${output}" "${text}")
