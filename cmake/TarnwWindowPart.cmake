# Steps of building the window's part (see src/programs/window/WindowLoader.h), run with
# cmake -P:
#
# -DSTEP=exports -DNM=... -DOUTPUT=part.map -P TarnwWindowPart.cmake OBJECT...
#   The part's version script: it exports its entry table and every object of which the
#   program may hold a copy too (static variables of inline functions, static members of
#   templates: nm's "u"), so that the loader binds both to the program's one copy.
#
# -DSTEP=carry -DNM=... -DOBJCOPY=... -DPART=part.so -DOUTPUT_DIR=dir
#   What the installer program needs to carry the part:
#   - imports.ld: EXTERN() of every symbol of ours or of the C++ runtime that the part
#     uses, so that the program links them in even where it does not use them itself;
#   - exports.list: the dynamic list of those and of the shared objects above, which the
#     program exports to the part;
#   - part.o: the part compressed with gzip, as read-only data between the symbols
#     tarnw_window_part_start and tarnw_window_part_end.
cmake_minimum_required(VERSION 3.22)

function(symbols_of file options out)
  execute_process(COMMAND "${NM}" ${options} "${file}" OUTPUT_VARIABLE text
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm failed on ${file}")
  endif()
  string(REPLACE "\n" ";" lines "${text}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

if(STEP STREQUAL "exports")
  set(objects)
  set(after_script FALSE)
  foreach(index RANGE 1 ${CMAKE_ARGC})
    if(index LESS CMAKE_ARGC)
      if(after_script)
        list(APPEND objects "${CMAKE_ARGV${index}}")
      elseif(CMAKE_ARGV${index} MATCHES "TarnwWindowPart\\.cmake$")
        set(after_script TRUE)
      endif()
    endif()
  endforeach()
  set(shared)
  foreach(object IN LISTS objects)
    symbols_of("${object}" "--defined-only" lines)
    foreach(line IN LISTS lines)
      if(line MATCHES "^[0-9a-f]* u ([^ ]+)$")
        list(APPEND shared "${CMAKE_MATCH_1}")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES shared)
  list(SORT shared)
  set(text "{\n  global:\n    tarnw_window_entries;\n")
  foreach(symbol IN LISTS shared)
    string(APPEND text "    ${symbol};\n")
  endforeach()
  string(APPEND text "  local: *;\n};\n")
  file(WRITE "${OUTPUT}.new" "${text}")
  file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUTPUT}.new")
elseif(STEP STREQUAL "carry")
  # What the X11 and font libraries (LIBRARIES, separated by "|") give the part.
  string(REPLACE "|" ";" libraries "${LIBRARIES}")
  set(system)
  foreach(library IN LISTS libraries)
    symbols_of("${library}" "-D;--defined-only" lines)
    foreach(line IN LISTS lines)
      if(line MATCHES "^[0-9a-f]+ [A-Za-z] ([^ @]+)")
        list(APPEND system "${CMAKE_MATCH_1}")
      endif()
    endforeach()
  endforeach()
  # Undefined, needed and without a version: not from the C library or libgcc_s, which
  # version their symbols, nor from the libraries above. What is left is ours and the C++
  # runtime's.
  symbols_of("${PART}" "-D;--undefined-only" lines)
  set(imports)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^U ([^ @]+)$")
      list(APPEND imports "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(REMOVE_ITEM imports ${system})
  symbols_of("${PART}" "-D;--defined-only" lines)
  set(shared)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]* u ([^ @]+)")
      list(APPEND shared "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(SORT imports)
  set(extern "EXTERN(\n")
  set(dynamic "{\n")
  foreach(symbol IN LISTS imports)
    string(APPEND extern "  ${symbol}\n")
    string(APPEND dynamic "  ${symbol};\n")
  endforeach()
  foreach(symbol IN LISTS shared)
    string(APPEND dynamic "  ${symbol};\n")
  endforeach()
  string(APPEND extern ")\n")
  string(APPEND dynamic "};\n")
  file(WRITE "${OUTPUT_DIR}/imports.ld" "${extern}")
  file(WRITE "${OUTPUT_DIR}/exports.list" "${dynamic}")

  # A fixed name inside the archive step's folder, so that the data's symbols do not depend
  # on the build's path.
  set(work "${OUTPUT_DIR}/carry")
  file(REMOVE_RECURSE "${work}")
  file(MAKE_DIRECTORY "${work}")
  file(COPY_FILE "${PART}" "${work}/part")
  file(ARCHIVE_CREATE OUTPUT "${work}/part.gz" PATHS "${work}/part" FORMAT raw
       COMPRESSION GZip COMPRESSION_LEVEL 9)
  file(WRITE "${work}/empty" "")
  execute_process(
    COMMAND "${OBJCOPY}" -I binary -O elf64-x86-64 -B i386:x86-64
            --rename-section .data=.rodata.tarnw_window_part,alloc,load,readonly,data,contents
            --redefine-sym _binary_part_gz_start=tarnw_window_part_start
            --redefine-sym _binary_part_gz_end=tarnw_window_part_end
            --strip-symbol _binary_part_gz_size
            --add-section .note.GNU-stack=empty
            part.gz part.o
    WORKING_DIRECTORY "${work}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objcopy could not turn the window's part into an object")
  endif()
  file(COPY_FILE "${work}/part.o" "${OUTPUT_DIR}/part.o")
  file(SIZE "${PART}" part_size)
  file(SIZE "${work}/part.gz" carried_size)
  message(STATUS "The window's part: ${part_size} bytes, carried as ${carried_size}")
else()
  message(FATAL_ERROR "STEP must be exports or carry")
endif()
