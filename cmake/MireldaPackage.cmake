# The installed CMake package: find_package(Mirelda) gives the targets of
# every component library (mirelda_add_library installs them) as Mirelda::*.

include(CMakePackageConfigHelpers)

set(mirelda_package_dir "${CMAKE_INSTALL_LIBDIR}/cmake/Mirelda")

install(EXPORT MireldaTargets
  NAMESPACE Mirelda::
  DESTINATION "${mirelda_package_dir}"
  COMPONENT development)

configure_package_config_file(cmake/MireldaConfig.cmake.in
  "${PROJECT_BINARY_DIR}/MireldaConfig.cmake"
  INSTALL_DESTINATION "${mirelda_package_dir}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/MireldaConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES
    "${PROJECT_BINARY_DIR}/MireldaConfig.cmake"
    "${PROJECT_BINARY_DIR}/MireldaConfigVersion.cmake"
  DESTINATION "${mirelda_package_dir}"
  COMPONENT development)
