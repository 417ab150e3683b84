# How the project's targets are made: compiler settings shared by all of them,
# warnings (as errors when MIRELDA_WERROR is on), the sanitizers chosen with
# MIRELDA_SANITIZE and, with MIRELDA_BUILD_FUZZERS, the coverage that guides
# libFuzzer; and, when MIRELDA_INSTALL is on, what is installed of them.

include(GNUInstallDirs)

function(mirelda_configure_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(MIRELDA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(MIRELDA_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=${MIRELDA_SANITIZE} -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=${MIRELDA_SANITIZE})
  endif()
  if(MIRELDA_BUILD_FUZZERS)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# mirelda_add_library(<name> <sources...>): a component library with the
# include root at src/ and automoc on. It is also Mirelda::<name without
# "mirelda_">, as an alias here and in the installed CMake package, which
# carries every header of the sources (the public ones include the others)
# under include/mirelda/, keeping their directories.
function(mirelda_add_library name)
  set(headers ${ARGN})
  list(FILTER headers INCLUDE REGEX "\\.h$")
  set(sources ${ARGN})
  list(FILTER sources EXCLUDE REGEX "\\.h$")

  add_library(${name} ${sources})
  target_sources(${name} PUBLIC
    FILE_SET HEADERS BASE_DIRS "${PROJECT_SOURCE_DIR}/src" FILES ${headers})
  # Position-independent, so a user may link a component into a shared library.
  set_target_properties(${name} PROPERTIES AUTOMOC ON POSITION_INDEPENDENT_CODE ON)
  # The public headers use C++20: a project that links a component needs it too.
  target_compile_features(${name} PUBLIC cxx_std_20)
  mirelda_configure_target(${name})

  string(REGEX REPLACE "^mirelda_" "" exportName ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${exportName})
  add_library(Mirelda::${exportName} ALIAS ${name})
  if(MIRELDA_INSTALL)
    install(TARGETS ${name} EXPORT MireldaTargets
      ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT development
      LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT development
      FILE_SET HEADERS DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/mirelda" COMPONENT development)
  endif()
endfunction()

# mirelda_add_executable(<name> <sources...>)
function(mirelda_add_executable name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  mirelda_configure_target(${name})
endfunction()

# mirelda_install_program(<target> [<installed name>]): a program of the
# Debian package, in bin/.
function(mirelda_install_program target)
  if(NOT MIRELDA_INSTALL)
    return()
  endif()
  if(ARGC GREATER 1)
    install(PROGRAMS "$<TARGET_FILE:${target}>" DESTINATION "${CMAKE_INSTALL_BINDIR}"
      RENAME "${ARGV1}" COMPONENT runtime)
  else()
    install(TARGETS ${target} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT runtime)
  endif()
endfunction()
