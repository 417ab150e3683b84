# The Debian packages, made by "cpack -G DEB" in a release build (scripts/package):
# mirelda, the programs with their desktop entry, icons and manual pages; and
# mirelda-dev, the component libraries, their headers and the CMake package.

set(MIRELDA_PACKAGE_MAINTAINER "The Mirelda developers <mirelda@example.org>"
  CACHE STRING "Maintainer field of the Debian packages: name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirelda)
set(CPACK_PACKAGE_VENDOR "the Mirelda developers")
set(CPACK_PACKAGE_CONTACT "${MIRELDA_PACKAGE_MAINTAINER}")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME mirelda)
# dpkg-shlibdeps finds the Qt, C++ and C libraries the programs link; the
# fonts are only recommended: the graph asks for Arial, which fontconfig maps
# to Liberation Sans.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "front end for line-sensor spectrometers on a serial port
Mirelda opens a serial port, sends the exposure value the operator types and
plots every frame the spectrometer answers with, scaled by an offset and a
gain. It asks for the next frame at once, so acquisition runs until the port
is closed. The package also holds mirelda-simulator, a spectrometer on a
pseudo-terminal for trying the program without an instrument, and
mirelda-graph-explorer, the program's graph widget with every control it can
drive, to try its mouse modes and options by hand.

Serial devices such as /dev/ttyUSB0 and /dev/ttyACM0 belong to the group
dialout, to which udev gives read and write access. Add your user to it
(sudo adduser \$USER dialout) and log in again before opening a USB serial
adapter.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME mirelda-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev (>= ${MIRELDA_QT_VERSION})")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "serial-port and XY-graph components of Mirelda (development files)
The serial-port component, the XY-graph widget and the libraries they build
on, as static libraries with their headers and a CMake package. A project
writes find_package(Mirelda REQUIRED) and links Mirelda::serial or
Mirelda::graph, which pass on C++20 and Qt.")

include(CPack)
