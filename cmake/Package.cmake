# Installs headers, libraries and a package config, so that a consumer can
#   find_package(Gantline)
#   target_link_libraries(app PRIVATE Gantline::patchio Gantline::host)
include(CMakePackageConfigHelpers)

install(TARGETS gantline_host gantline_text gantline_patchio gantline_scene
  EXPORT GantlineTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
foreach(dir host text patchio scene)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${dir}
    FILES_MATCHING PATTERN "*.h")
endforeach()
install(EXPORT GantlineTargets NAMESPACE Gantline:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Gantline)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/GantlineConfig.cmake.in
  ${PROJECT_BINARY_DIR}/GantlineConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Gantline)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/GantlineConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/GantlineConfig.cmake ${PROJECT_BINARY_DIR}/GantlineConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Gantline)
