# Writes a C++ file that carries the translation sources (*.po) of a folder, each compressed
# with gzip, in the order of the language menu, so that a program has its texts without
# reading files at run time and without carrying the repetitive sources at full size. The
# build runs it whenever a .po file changes:
#   cmake -DSOURCE_DIR=<folder of the .po files> -DOUTPUT=<file.cpp> -DNAMESPACE=<name>
#         -P cmake/EmbedCatalogue.cmake
# The file defines NAMESPACE::kEmbeddedSources[] ({language, gzip bytes}) and
# NAMESPACE::kEmbeddedSourceCount; locale/EmbeddedSource.h unpacks them.

foreach(required SOURCE_DIR OUTPUT NAMESPACE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "EmbedCatalogue.cmake needs -D${required}=...")
  endif()
endforeach()

set(languages en fr es de it no sv da nl pt)
get_filename_component(work "${OUTPUT}" DIRECTORY)
get_filename_component(stem "${OUTPUT}" NAME_WE)
set(work "${work}/${stem}.gz")
file(MAKE_DIRECTORY "${work}")

set(text "// Made by cmake/EmbedCatalogue.cmake from the .po files of ${SOURCE_DIR}; do not edit.\n")
string(APPEND text "#include <string_view>\n\nnamespace ${NAMESPACE} {\n\n")
string(APPEND text "struct EmbeddedSource {\n    const char* language;\n    std::string_view bytes;\n};\n\n")
set(table "")
foreach(code IN LISTS languages)
  set(packed "${work}/${code}.po.gz")
  file(ARCHIVE_CREATE OUTPUT "${packed}" PATHS "${SOURCE_DIR}/${code}.po" FORMAT raw
       COMPRESSION GZip COMPRESSION_LEVEL 9)
  file(READ "${packed}" hex HEX)
  # The gzip header's time stamp (bytes 4 to 7) is cleared: the same sources give the same
  # program.
  string(SUBSTRING "${hex}" 0 8 head)
  string(SUBSTRING "${hex}" 16 -1 tail)
  set(hex "${head}00000000${tail}")
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  # Lines of 64 bytes keep the file readable for tools.
  string(REGEX REPLACE "((\\\\x[0-9a-f][0-9a-f]){64})" "\\1\"\n    \"" escaped "${escaped}")
  string(APPEND text "static const char k_${code}[] =\n    \"${escaped}\";\n")
  string(APPEND table "    {\"${code}\", std::string_view(k_${code}, ${size})},\n")
endforeach()
string(APPEND text "\nextern const EmbeddedSource kEmbeddedSources[] = {\n${table}};\n\n")
string(APPEND text "extern const int kEmbeddedSourceCount = sizeof(kEmbeddedSources) / sizeof(kEmbeddedSources[0]);\n\n")
string(APPEND text "} // namespace ${NAMESPACE}\n")

# Only a changed catalogue touches the file, so that nothing rebuilds for nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
