# Third-party libraries, all from Debian packages (scripts/install-deps.sh).
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PkgConfig REQUIRED)

# minizip and libdeflate are linked statically into the installer.
find_path(MINIZIP_INCLUDE_DIR minizip/unzip.h REQUIRED)
find_library(MINIZIP_STATIC NAMES libminizip.a REQUIRED)
find_library(ZLIB_STATIC NAMES libz.a REQUIRED)
find_library(LIBDEFLATE_STATIC NAMES libdeflate.a)
find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h)

if(NOT TARGET tarnw::zip)
  add_library(tarnw::zip INTERFACE IMPORTED GLOBAL)
  target_include_directories(tarnw::zip INTERFACE "${MINIZIP_INCLUDE_DIR}")
  target_link_libraries(tarnw::zip INTERFACE "${MINIZIP_STATIC}" "${ZLIB_STATIC}")
  if(LIBDEFLATE_STATIC AND LIBDEFLATE_INCLUDE_DIR)
    target_include_directories(tarnw::zip INTERFACE "${LIBDEFLATE_INCLUDE_DIR}")
    target_link_libraries(tarnw::zip INTERFACE "${LIBDEFLATE_STATIC}")
    target_compile_definitions(tarnw::zip INTERFACE TARNW_HAVE_LIBDEFLATE=1)
  endif()
endif()

find_package(nlohmann_json 3 REQUIRED)

# Signatures are Ed25519 (over SHA-512 digests in an installer, over BLAKE2b ones in
# minisign's detached files): libsodium, linked statically; the installer keeps only the
# few functions it calls (--gc-sections).
find_path(SODIUM_INCLUDE_DIR sodium.h REQUIRED)
find_library(SODIUM_STATIC NAMES libsodium.a REQUIRED)
if(NOT TARGET tarnw::sodium)
  add_library(tarnw::sodium INTERFACE IMPORTED GLOBAL)
  target_include_directories(tarnw::sodium INTERFACE "${SODIUM_INCLUDE_DIR}")
  target_link_libraries(tarnw::sodium INTERFACE "${SODIUM_STATIC}")
endif()

# Text is measured with the same fonts the window system draws: fontconfig finds them,
# FreeType measures them. Both are loaded when text is first measured (only their headers
# are needed to build); without them a fixed metric is used.
pkg_check_modules(TARNW_FREETYPE QUIET freetype2 fontconfig)
if(NOT TARGET tarnw::freetype)
  add_library(tarnw::freetype INTERFACE IMPORTED GLOBAL)
  if(TARNW_FREETYPE_FOUND)
    target_include_directories(tarnw::freetype INTERFACE ${TARNW_FREETYPE_INCLUDE_DIRS})
    target_compile_definitions(tarnw::freetype INTERFACE TARNW_HAVE_FREETYPE=1)
  endif()
endif()

if(TARNW_BUILD_GUI)
  # FLTK 1.3, static; its own X11/fontconfig/freetype needs stay dynamic.
  find_program(FLTK_CONFIG fltk-config REQUIRED)
  execute_process(COMMAND ${FLTK_CONFIG} --use-images --cxxflags
                  OUTPUT_VARIABLE FLTK_CXXFLAGS OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${FLTK_CONFIG} --use-images --ldstaticflags
                  OUTPUT_VARIABLE FLTK_LDFLAGS OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(FLTK_CXXFLAGS UNIX_COMMAND "${FLTK_CXXFLAGS}")
  separate_arguments(FLTK_LDFLAGS UNIX_COMMAND "${FLTK_LDFLAGS}")
  # fltk-config names the image libraries dynamically; the installer carries them.
  find_library(PNG_STATIC NAMES libpng16.a libpng.a REQUIRED)
  find_library(JPEG_STATIC NAMES libjpeg.a REQUIRED)
  list(TRANSFORM FLTK_LDFLAGS REPLACE "^-lpng$" "${PNG_STATIC}")
  list(TRANSFORM FLTK_LDFLAGS REPLACE "^-ljpeg$" "${JPEG_STATIC}")
  list(TRANSFORM FLTK_LDFLAGS REPLACE "^-lz$" "${ZLIB_STATIC}")
  # The X11 and font libraries by their files, so that a link against another system
  # root's C library (TARNW_BASELINE_ROOT) still finds this system's.
  set(fltk_link)
  foreach(flag IN LISTS FLTK_LDFLAGS)
    if(flag MATCHES "^-l(X.*|fontconfig|freetype)$")
      find_library(TARNW_LIB_${CMAKE_MATCH_1} NAMES ${CMAKE_MATCH_1} REQUIRED)
      set(flag "${TARNW_LIB_${CMAKE_MATCH_1}}")
      list(APPEND TARNW_WINDOW_SYSTEM_LIBRARIES "${flag}")
    endif()
    list(APPEND fltk_link "${flag}")
  endforeach()
  set(FLTK_LDFLAGS ${fltk_link})
  if(NOT TARGET tarnw::fltk)
    add_library(tarnw::fltk INTERFACE IMPORTED GLOBAL)
    target_compile_options(tarnw::fltk INTERFACE ${FLTK_CXXFLAGS})
    target_link_libraries(tarnw::fltk INTERFACE ${FLTK_LDFLAGS})
  endif()
endif()

if(TARNW_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
