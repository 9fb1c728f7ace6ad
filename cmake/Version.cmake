# The generated version header, for every target that shows a version.
# The caption's two decimals: a one-digit minor version gains a zero (0.1
# shows as 0.10), as printf's "%.2f" writes it.
set(GANTLINE_DISPLAY_VERSION ${PROJECT_VERSION_MINOR})
string(LENGTH "${GANTLINE_DISPLAY_VERSION}" _gantline_minor_digits)
if(_gantline_minor_digits EQUAL 1)
  string(APPEND GANTLINE_DISPLAY_VERSION 0)
endif()
set(GANTLINE_DISPLAY_VERSION ${PROJECT_VERSION_MAJOR}.${GANTLINE_DISPLAY_VERSION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/gantline/Version.h @ONLY)
add_library(gantline_version INTERFACE)
target_include_directories(gantline_version INTERFACE $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/generated>)
