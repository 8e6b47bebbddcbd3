# Install rules, a CMake package config and a pkg-config file, so that
# another project can find the libraries.
include(CMakePackageConfigHelpers)

install(TARGETS tolvcomm EXPORT tolvTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tolvcomm DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT tolvTargets NAMESPACE tolv:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tolv)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tolvConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tolvConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tolv)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tolvConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tolvConfig.cmake ${PROJECT_BINARY_DIR}/tolvConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tolv)

configure_file(${PROJECT_SOURCE_DIR}/cmake/tolvcomm.pc.in ${PROJECT_BINARY_DIR}/tolvcomm.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tolvcomm.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
