# What `cmake --install` adds for those who build against zul: the CMake
# package (find_package(zul 1.0 CONFIG), target zul::core) and zul.pc.
include(CMakePackageConfigHelpers)

set(ZUL_LOADER_PATH "${CMAKE_INSTALL_LIBDIR}/${ZUL_LOADER_FILE}")
set(ZUL_EXECUTABLE_PATH "${CMAKE_INSTALL_BINDIR}/zul")
configure_package_config_file(cmake/zulConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/zulConfig.cmake
  INSTALL_DESTINATION ${ZUL_CMAKE_INSTALL_DIR}
  PATH_VARS ZUL_PLUGIN_INSTALL_DIR ZUL_LOADER_PATH ZUL_EXECUTABLE_PATH)
# The API rule: an extension library needs the same major and minor version.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/zulConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(EXPORT zulTargets NAMESPACE zul:: DESTINATION ${ZUL_CMAKE_INSTALL_DIR})
install(FILES
  ${PROJECT_BINARY_DIR}/package/zulConfig.cmake
  ${PROJECT_BINARY_DIR}/package/zulConfigVersion.cmake
  cmake/ZulExtension.cmake
  cmake/zul-extension.map
  DESTINATION ${ZUL_CMAKE_INSTALL_DIR})

# zul.pc finds the prefix from its own place, so the installed tree may move.
set(_pcdir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZUL_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${_pcdir} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ZUL_PC_TO_PREFIX "${ZUL_PC_TO_PREFIX}")
configure_file(cmake/zul.pc.in ${PROJECT_BINARY_DIR}/package/zul.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/zul.pc DESTINATION ${_pcdir})
