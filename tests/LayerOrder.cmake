cmake_minimum_required(VERSION 3.22)
# Fails on an include that reaches a folder above the including one. Each program's folders are
# layers, lowest first; a file may include its own folder and the layers below it. The libraries
# are linked in the same order, but a header-only reach upwards would still compile, so this
# check is what keeps the folder graph free of cycles.
set(cli_layers misc threads codecs data cmdline collectors engine core)
set(gui_layers misc model core ui)

set(violations "")
foreach(program cli gui)
  set(below "")
  foreach(layer IN LISTS ${program}_layers)
    set(allowed ${below} ${layer})
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${program}/${layer}/*.h" "${SOURCE_DIR}/${program}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
      file(STRINGS "${source}" includes REGEX "^#include \"[A-Za-z]+/")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([A-Za-z]+)/.*" "\\1" folder "${line}")
        if(NOT folder IN_LIST allowed)
          file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
          string(APPEND violations "  ${name}: ${line} (${layer} may include only: ${allowed})\n")
        endif()
      endforeach()
    endforeach()
    list(APPEND below ${layer})
  endforeach()

  # A folder missing from the list would escape the check.
  file(GLOB entries LIST_DIRECTORIES true "${SOURCE_DIR}/${program}/*")
  foreach(entry IN LISTS entries)
    get_filename_component(folder "${entry}" NAME)
    if(IS_DIRECTORY "${entry}" AND NOT folder IN_LIST ${program}_layers AND NOT folder STREQUAL "res")
      string(APPEND violations "  ${program}/${folder}: a folder with no place in the layer order\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes that cross folders upwards:\n${violations}")
endif()
