# The installed package, so that an engine or pipeline can
#   find_package(Gantline)
#   target_link_libraries(app PRIVATE Gantline::patchio Gantline::surface)
# Only the libraries meant for use outside the project are installed, each
# with its public headers only and exactly its own dependencies: the host's
# interface layer, the text support, the format library, the scene walker,
# the surface library and the operating-system seam they link.
include(CMakePackageConfigHelpers)

# gantline_package_library(target name sources...): a static library of the
# package, Gantline::name to its users, with the project's warnings.
function(gantline_package_library target name)
  add_library(${target} STATIC ${ARGN})
  add_library(Gantline::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  gantline_warnings(${target})
endfunction()

# gantline_public_headers(target room headers...): target is installed
# with the package and the named headers of its room are its public ones.
function(gantline_public_headers target room)
  set_property(GLOBAL APPEND PROPERTY GANTLINE_PACKAGE_TARGETS ${target})
  if(ARGN)
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    install(FILES ${ARGN} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${room})
  endif()
endfunction()

# Called once every room has declared its public headers.
function(gantline_install_package)
  get_property(targets GLOBAL PROPERTY GANTLINE_PACKAGE_TARGETS)
  install(TARGETS ${targets}
    EXPORT GantlineTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT GantlineTargets NAMESPACE Gantline:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Gantline)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/GantlineConfig.cmake.in
    ${PROJECT_BINARY_DIR}/GantlineConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Gantline)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/GantlineConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/GantlineConfig.cmake ${PROJECT_BINARY_DIR}/GantlineConfigVersion.cmake
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Gantline)
endfunction()
