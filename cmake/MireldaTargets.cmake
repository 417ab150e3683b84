# Compiler settings shared by every target of the project: warnings (as errors
# when MIRELDA_WERROR is on), the sanitizers chosen with MIRELDA_SANITIZE, and
# with MIRELDA_BUILD_FUZZERS the coverage that guides libFuzzer.

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
# include root at src/ and automoc on.
function(mirelda_add_library name)
  add_library(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  # The public headers use C++20: a project that links a component needs it too.
  target_compile_features(${name} PUBLIC cxx_std_20)
  mirelda_configure_target(${name})
endfunction()

# mirelda_add_executable(<name> <sources...>)
function(mirelda_add_executable name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  mirelda_configure_target(${name})
endfunction()
