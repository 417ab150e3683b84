# Installs BUILD_DIR into STAGE and checks what a user and a library user get:
# the programs run from there, the desktop files and manual pages are in
# place, every installed header finds what it includes, and the CMake package
# exports the components and nothing of the tests or tools.

cmake_minimum_required(VERSION 3.25)

function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "install_tests: ${message}")
endfunction()

file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE}"
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  fail("cmake --install failed: ${errors}")
endif()

set(expected
  bin/mirelda
  share/applications/mirelda.desktop
  share/icons/hicolor/scalable/apps/mirelda.svg
  share/icons/hicolor/48x48/apps/mirelda.png
  share/icons/hicolor/256x256/apps/mirelda.png
  share/man/man1/mirelda.1.gz
  share/doc/mirelda/copyright
  share/mirelda/lines/fluorescent.lines
  include/mirelda/serial/ComPort.h
  include/mirelda/serial/posix/PortMap.h
  include/mirelda/graph/Graph.h
  include/mirelda/common/Application.h)
if(TOOLS)
  list(APPEND expected bin/mirelda-simulator bin/mirelda-graph-explorer share/man/man1/mirelda-simulator.1.gz)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${STAGE}/${file}")
    fail("${file} is not installed")
  endif()
endforeach()

# Headers: a quoted include names a header of the include root or one beside
# the including header; either must have been installed.
set(includeRoot "${STAGE}/include/mirelda")
file(GLOB_RECURSE headers "${includeRoot}/*.h")
foreach(header IN LISTS headers)
  file(STRINGS "${header}" includes REGEX "^#include \"")
  get_filename_component(headerDir "${header}" DIRECTORY)
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT EXISTS "${includeRoot}/${included}" AND NOT EXISTS "${headerDir}/${included}")
      file(RELATIVE_PATH name "${includeRoot}" "${header}")
      fail("${name} includes \"${included}\", which is not installed")
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE targetFiles "${STAGE}/*/cmake/Mirelda/MireldaTargets.cmake")
list(LENGTH targetFiles count)
if(NOT count EQUAL 1)
  fail("expected one MireldaTargets.cmake, found ${count}")
endif()
file(READ "${targetFiles}" exported)
string(REGEX MATCHALL "add_library\\(Mirelda::[a-z_]+" targets "${exported}")
list(TRANSFORM targets REPLACE "add_library\\(" "")
foreach(component Mirelda::common Mirelda::frame Mirelda::graph Mirelda::serial)
  if(NOT component IN_LIST targets)
    fail("${component} is not exported (exported: ${targets})")
  endif()
endforeach()
foreach(target IN LISTS targets)
  if(target MATCHES "test|simulator|bench")
    fail("${target} is exported, but belongs to the tests or tools")
  endif()
endforeach()

# --version must be answered without a display: with the X11 platform forced
# and no display to connect to, the program would abort if it started Qt.
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
    "${STAGE}/bin/mirelda" --version
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT output STREQUAL "mirelda ${VERSION}\n" OR NOT errors STREQUAL "")
  fail("installed mirelda --version: status ${status}, output '${output}', errors '${errors}'")
endif()

if(TOOLS)
  execute_process(COMMAND "${STAGE}/bin/mirelda-simulator" --help
    RESULT_VARIABLE status OUTPUT_VARIABLE output)
  if(NOT status EQUAL 0 OR NOT output MATCHES "^Usage: mirelda-simulator ")
    fail("installed mirelda-simulator --help: status ${status}, output '${output}'")
  endif()
  # The explorer answers --help before it needs a display.
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
      "${STAGE}/bin/mirelda-graph-explorer" --help
    RESULT_VARIABLE status OUTPUT_VARIABLE output)
  if(NOT status EQUAL 0 OR NOT output MATCHES "^Usage: mirelda-graph-explorer\n")
    fail("installed mirelda-graph-explorer --help: status ${status}, output '${output}'")
  endif()
endif()
