# Helpers shared by every folder: one static library per source folder, one test
# executable per test folder, warnings kept local to our own targets.

option(TARNW_WERROR "Treat compiler warnings as errors (CI builds with it)" OFF)

function(tarnw_warnings target)
  # Four-character codes ('CSTR', 'isud') are the platform's way of naming types.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-multichar)
  if(TARNW_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A sanitizer build ("address,undefined" or "thread") instruments every object and program.
# scripts/sanitize.sh makes one for the tests that need no window and no shipped program.
set(TARNW_SANITIZE "" CACHE STRING "Sanitizers to build with, as -fsanitize= takes them")
if(TARNW_SANITIZE)
  add_compile_options(-fsanitize=${TARNW_SANITIZE} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TARNW_SANITIZE})
endif()

# The oldest C library the shipped programs run with is 2.31 (Debian 11, Ubuntu 20.04). With
# TARNW_BASELINE_ROOT naming a system root with that C library's development files
# (scripts/debian11-root.sh), the installer program and the window's part are linked
# against it, whatever C library this machine has: the programs then ask the loader for no
# newer symbol version (docs/baseline.md). Without it they are linked against this
# machine's C library and run where it runs.
set(TARNW_BASELINE_ROOT "" CACHE PATH
    "System root whose C library the shipped programs are linked against (empty: this system's)")
set(TARNW_BASELINE_X11_ROOT "" CACHE PATH
    "A copy of that system root with Xvfb and the X11 libraries, for the tests")
set(TARNW_BASELINE_LINK)
if(TARNW_BASELINE_ROOT)
  if(NOT EXISTS "${TARNW_BASELINE_ROOT}/usr/include/stdio.h")
    message(FATAL_ERROR "TARNW_BASELINE_ROOT (${TARNW_BASELINE_ROOT}) has no C library headers")
  endif()
  # The compiler looks in its own folders before the system root's: -B and -L make the
  # root's start files and C library come first. The C++ runtime and libgcc are the
  # compiler's own, found after them.
  set(libdir "${TARNW_BASELINE_ROOT}/usr/lib/x86_64-linux-gnu")
  set(TARNW_BASELINE_LINK "--sysroot=${TARNW_BASELINE_ROOT}" "-B${libdir}/" "-L${libdir}")
endif()

# A position-independent program lists a relocation for every pointer in its data; packed
# (DT_RELR) they take a few kilobytes instead of over a hundred. The loader must know them:
# the C library 2.36 does, 2.31 does not, so they are packed only when linking against a C
# library that has them (the linker checks).
# mold packs them without naming that glibc version, which the loader then refuses: only
# with the system's linker.
include(CheckLinkerFlag)
if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "mold" AND NOT TARNW_BASELINE_ROOT)
  check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" TARNW_HAVE_PACKED_RELOCATIONS)
endif()

# Every installer carries the installer program: it links the C++ runtime statically,
# drops unused sections (every object is compiled with one section per function and
# datum, see the top-level CMakeLists), is optimised at link time when TARNW_LTO is on,
# packs its relocations, and ships without symbols unless built for debugging. The
# unwinder is the system's libgcc_s, which the window's part uses too: one unwinder for the
# whole process, and the program asks nothing of a newer C library for it.
function(tarnw_shipped_program target)
  target_link_options(${target} PRIVATE -static-libstdc++ -Wl,--gc-sections
                      ${TARNW_LTO_LINK} $<$<NOT:$<CONFIG:Debug>>:-s> ${TARNW_BASELINE_LINK})
  if(TARNW_HAVE_PACKED_RELOCATIONS AND NOT TARNW_BASELINE_ROOT)
    target_link_options(${target} PRIVATE -Wl,-z,pack-relative-relocs)
  endif()
  if(TARNW_BASELINE_ROOT)
    # The C++ runtime of this compiler was built against a newer C library.
    target_sources(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src/programs/baseline/OlderCLibrary.cpp")
    # In 2.31 threads and the loader's functions have libraries of their own.
    target_link_options(${target} PRIVATE
                        "SHELL:-Wl,--push-state,--no-as-needed -lpthread -ldl -Wl,--pop-state")
  endif()
  tarnw_warnings(${target})
endfunction()

# The window's part (src/programs/window/WindowLoader.h): a shared object of OBJECTS, the
# toolkit and the image libraries, linked against the X11 and font libraries, exporting
# only its entry table. It leaves everything of ours and of the C++ runtime to the program
# that loads it; cmake/TarnwWindowPart.cmake makes what that program needs to carry it.
set(TARNW_WINDOW_CARRY_DIR "${PROJECT_BINARY_DIR}/window-part")
function(tarnw_window_part name)
  set(dir "${TARNW_WINDOW_CARRY_DIR}")
  set(script "${PROJECT_SOURCE_DIR}/cmake/TarnwWindowPart.cmake")
  add_library(${name} MODULE ${ARGN})
  set(objects ${ARGN})
  list(FILTER objects INCLUDE REGEX "TARGET_OBJECTS")
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME tarnw-window
                        LIBRARY_OUTPUT_DIRECTORY "${dir}")
  target_link_libraries(${name} PRIVATE tarnw::fltk ${CMAKE_DL_LIBS} m c gcc_s gcc)
  target_link_options(${name} PRIVATE -nodefaultlibs -Wl,--gc-sections
                      "-Wl,--version-script=${dir}/part.map" $<$<NOT:$<CONFIG:Debug>>:-s>
                      ${TARNW_BASELINE_LINK})
  add_custom_command(TARGET ${name} PRE_LINK
    COMMAND "${CMAKE_COMMAND}" -DSTEP=exports "-DNM=${CMAKE_NM}" "-DOUTPUT=${dir}/part.map"
            -P "${script}" ${objects}
    COMMAND_EXPAND_LISTS VERBATIM)
  add_custom_command(
    OUTPUT "${dir}/part.o" "${dir}/imports.ld" "${dir}/exports.list"
    COMMAND "${CMAKE_COMMAND}" -DSTEP=carry "-DNM=${CMAKE_NM}" "-DOBJCOPY=${CMAKE_OBJCOPY}"
            "-DPART=$<TARGET_FILE:${name}>" "-DOUTPUT_DIR=${dir}"
            "-DLIBRARIES=$<JOIN:${TARNW_WINDOW_SYSTEM_LIBRARIES},|>" -P "${script}"
    DEPENDS ${name} "$<TARGET_FILE:${name}>" "${script}"
    COMMENT "Compressing the window's part" VERBATIM)
  add_custom_target(${name}_carried DEPENDS "${dir}/part.o")
endfunction()

# TARGET carries the window's part: it links in and exports what the part uses.
function(tarnw_carries_window_part target)
  set(dir "${TARNW_WINDOW_CARRY_DIR}")
  target_link_libraries(${target} PRIVATE "${dir}/imports.ld")
  target_link_options(${target} PRIVATE "-Wl,--dynamic-list=${dir}/exports.list")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${dir}/imports.ld"
                                                              "${dir}/exports.list")
  add_dependencies(${target} tarnw_window_part_carried)
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
