# Writes a C++ file that carries the translation sources (*.po) of a folder as string
# literals, in the order of the language menu, so that a program has its texts without
# reading files at run time. The build runs it whenever a .po file changes:
#   cmake -DSOURCE_DIR=<folder of the .po files> -DOUTPUT=<file.cpp> -DNAMESPACE=<name>
#         -P cmake/EmbedCatalogue.cmake
# The file defines NAMESPACE::kEmbeddedSources[] ({language, bytes}) and
# NAMESPACE::kEmbeddedSourceCount.

foreach(required SOURCE_DIR OUTPUT NAMESPACE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "EmbedCatalogue.cmake needs -D${required}=...")
  endif()
endforeach()

set(languages en fr es de it no sv da nl pt)
set(text "// Made by cmake/EmbedCatalogue.cmake from the .po files of ${SOURCE_DIR}; do not edit.\n")
string(APPEND text "#include <string_view>\n\nnamespace ${NAMESPACE} {\n\n")
string(APPEND text "struct EmbeddedSource {\n    const char* language;\n    std::string_view bytes;\n};\n\n")
string(APPEND text "extern const EmbeddedSource kEmbeddedSources[] = {\n")
foreach(code IN LISTS languages)
  file(READ "${SOURCE_DIR}/${code}.po" source)
  string(FIND "${source}" ")po\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${code}.po contains the text )po\" and cannot be embedded")
  endif()
  string(APPEND text "    {\"${code}\", R\"po(${source})po\"},\n")
endforeach()
string(APPEND text "};\n\nextern const int kEmbeddedSourceCount = sizeof(kEmbeddedSources) / sizeof(kEmbeddedSources[0]);\n\n")
string(APPEND text "} // namespace ${NAMESPACE}\n")

# Only a changed catalogue touches the file, so that nothing rebuilds for nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
