cmake_minimum_required(VERSION 3.22)
# Fails when a file includes, or a library links, something of a higher layer
# (cmake/TarnwLayers.cmake). Run as: cmake -DSOURCE_DIR=... -DLINKS_FILE=... -P CheckLayers.cmake
# LINKS_FILE lists "library;layer;linked library;its layer" lines written at configure time.
include("${SOURCE_DIR}/cmake/TarnwLayers.cmake")

# Headers the deinstaller's and the pack tool's folders export by bare name.
file(GLOB deinstall_headers RELATIVE "${SOURCE_DIR}/tools/deinstall" "${SOURCE_DIR}/tools/deinstall/*.h")
file(GLOB pack_headers RELATIVE "${SOURCE_DIR}/tools/pack" "${SOURCE_DIR}/tools/pack/*.h")

set(faults "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.c"
     "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp")
foreach(source IN LISTS sources)
  tarnw_layer_of_path("${source}" rank)
  if(rank STREQUAL "")
    continue()
  endif()
  get_filename_component(folder "${source}" DIRECTORY)
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    if(EXISTS "${SOURCE_DIR}/${folder}/${header}")
      set(target_path "${folder}/${header}")
    elseif(EXISTS "${SOURCE_DIR}/src/${header}")
      set(target_path "src/${header}")
    elseif(header IN_LIST deinstall_headers)
      set(target_path "tools/deinstall/${header}")
    elseif(header IN_LIST pack_headers)
      set(target_path "tools/pack/${header}")
    else()
      continue() # generated or from a dependency
    endif()
    tarnw_layer_of_path("${target_path}" header_rank)
    if(NOT header_rank STREQUAL "" AND header_rank GREATER rank)
      string(APPEND faults "  ${source} (layer ${rank}) includes ${target_path} (layer ${header_rank})\n")
    endif()
  endforeach()
endforeach()

file(STRINGS "${LINKS_FILE}" links)
foreach(link IN LISTS links)
  string(REPLACE "|" ";" fields "${link}")
  list(GET fields 0 library)
  list(GET fields 1 rank)
  list(GET fields 2 linked)
  list(GET fields 3 linked_rank)
  if(linked_rank GREATER rank)
    string(APPEND faults "  library ${library} (layer ${rank}) links ${linked} (layer ${linked_rank})\n")
  endif()
endforeach()

if(faults)
  message(FATAL_ERROR "Dependencies that point upwards:\n${faults}")
endif()
list(LENGTH sources files)
list(LENGTH links edges)
message(STATUS "${files} files and ${edges} links follow the layers")
