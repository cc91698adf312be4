# Helpers shared by every folder: one static library per source folder, one test
# executable per test folder, warnings kept local to our own targets.

function(tarnw_warnings target)
  # Four-character codes ('CSTR', 'isud') are the platform's way of naming types.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-multichar)
endfunction()

# A position-independent program lists a relocation for every pointer in its data; packed
# (DT_RELR, glibc 2.36, which the program needs anyway) they take a few kilobytes instead
# of over a hundred.
# mold packs them without naming that glibc version, which the loader then refuses: only
# with the system's linker.
include(CheckLinkerFlag)
if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "mold")
  check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" TARNW_HAVE_PACKED_RELOCATIONS)
endif()

# Every installer carries the installer program: it links the C++ runtime statically,
# drops unused sections (every object is compiled with one section per function and
# datum, see the top-level CMakeLists), is optimised at link time when TARNW_LTO is on,
# packs its relocations, and ships without symbols unless built for debugging.
function(tarnw_shipped_program target)
  target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--gc-sections
                      ${TARNW_LTO_LINK} $<$<NOT:$<CONFIG:Debug>>:-s>)
  if(TARNW_HAVE_PACKED_RELOCATIONS)
    target_link_options(${target} PRIVATE -Wl,-z,pack-relative-relocs)
  endif()
  tarnw_warnings(${target})
endfunction()

# tarnw_library(NAME DIR [RECURSE] [EXCLUDE regex] [DEPS libs...] [PRIVATE_DEPS libs...])
# Sources are every .cpp/.c in DIR; new files are picked up at the next build.
function(tarnw_library name dir)
  cmake_parse_arguments(ARG "RECURSE" "EXCLUDE" "DEPS;PRIVATE_DEPS" ${ARGN})
  if(ARG_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
  else()
    file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
  endif()
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    set(placeholder "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${placeholder}" "// ${name} has no sources yet\n")
    set(sources "${placeholder}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_compile_features(${name} PUBLIC cxx_std_20)
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_PRIVATE_DEPS)
    target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPS})
  endif()
  tarnw_warnings(${name})
endfunction()

# tarnw_test_dir(NAME DIR [LABELS labels...] [LIBS libs...])
# One GoogleTest executable from every .cpp in DIR; each test runs in its own process
# inside a fresh sandbox (see tests/support/SandboxMain.cpp).
function(tarnw_test_dir name dir)
  cmake_parse_arguments(ARG "USES_DISPLAY" "" "LABELS;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE tarnw_testsupport ${ARG_LIBS})
  tarnw_warnings(${name})
  # One label per test: gtest_discover_tests hands the properties on unquoted, so a
  # second label would be read as a property name. Tests with their own label (gui)
  # carry that one instead of "unit".
  if(ARG_LABELS)
    list(GET ARG_LABELS 0 labels)
  else()
    set(labels unit)
  endif()
  # Tests that put windows on the shared test display take turns: a window of another
  # test would cover theirs in screen grabs and catch their synthetic clicks.
  set(lock)
  if(ARG_USES_DISPLAY OR "gui" IN_LIST ARG_LABELS)
    set(lock RESOURCE_LOCK display)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES LABELS "${labels}" TIMEOUT 600 ${lock}
    DISCOVERY_TIMEOUT 60)
endfunction()

# tarnw_embed_catalogue(TARGET FOLDER NAMESPACE): compiles the translation sources of
# FOLDER (*.po) into TARGET, embedded at build time under NAMESPACE.
function(tarnw_embed_catalogue target folder namespace)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_catalogue.cpp")
  file(GLOB sources CONFIGURE_DEPENDS "${folder}/*.po")
  set(script "${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogue.cmake")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${folder}" "-DOUTPUT=${output}"
            "-DNAMESPACE=${namespace}" -P "${script}"
    DEPENDS "${script}" ${sources}
    COMMENT "Embedding the texts of ${folder}")
  target_sources(${target} PRIVATE "${output}")
endfunction()
