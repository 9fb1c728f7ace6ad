# Windows cross builds (mingw-w64): DLL naming, and the tests that run the
# Windows binaries under Wine.

# The host layer is gantline_host.dll, as a host application names its own
# libraries, without the "lib" prefix of mingw's default.
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_IMPORT_LIBRARY_PREFIX "")

# Debian's header-only libraries serve the cross build too. Their own
# package files would put /usr/include, and with it the native C library's
# headers, on the Windows compiler's path; a folder that holds only their
# headers is offered instead.
set(_gantline_header_only ${PROJECT_BINARY_DIR}/header-only)
foreach(entry "CLI11::CLI11=CLI" "nlohmann_json::nlohmann_json=nlohmann")
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 _target)
  list(GET entry 1 _folder)
  if(EXISTS /usr/include/${_folder} AND NOT TARGET ${_target})
    file(MAKE_DIRECTORY ${_gantline_header_only})
    file(CREATE_LINK /usr/include/${_folder} ${_gantline_header_only}/${_folder} SYMBOLIC)
    add_library(${_target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${_target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_gantline_header_only})
  endif()
endforeach()

set(GANTLINE_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
# Each build folder keeps a Wine prefix of its own.
set(GANTLINE_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the cross build's tests")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_gantline_loader_names wine64 wine)
  set(_gantline_winearch win64)
else()
  set(_gantline_loader_names wine wine64)
  set(_gantline_winearch win32)
endif()
find_program(GANTLINE_WINE_LOADER NAMES ${_gantline_loader_names}
  PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT GANTLINE_WINE_LOADER)
  find_program(GANTLINE_WINE_LOADER NAMES wine NO_CMAKE_FIND_ROOT_PATH)
endif()
if(NOT GANTLINE_WINE_LOADER)
  if(DEFINED ENV{CI})
    message(FATAL_ERROR "Wine is missing: the Windows tests cannot run (scripts/install-windows-deps.sh)")
  endif()
  message(WARNING "Wine is missing: the Windows binaries build, but their tests will fail")
  set(GANTLINE_WINE_LOADER wine)
endif()

# The environment of every program run under Wine by CTest.
set(GANTLINE_WINE_ENV
  WINEPREFIX=${GANTLINE_WINEPREFIX}
  WINEARCH=${_gantline_winearch}
  WINEDEBUG=-all
  GANTLINE_WINE_LOADER=${GANTLINE_WINE_LOADER})

# Creating the prefix takes a while; it happens once, before any test.
if(GANTLINE_TESTS)
  enable_testing()
  add_test(NAME wine_prefix COMMAND ${GANTLINE_WINE_RUN} --init)
  set_tests_properties(wine_prefix PROPERTIES
    ENVIRONMENT "${GANTLINE_WINE_ENV}" FIXTURES_SETUP wine_prefix LABELS windows TIMEOUT 300)
endif()

# gantline_cross_test(target [ARGS args...]): runs the Windows test program
# target under Wine (inside Xvfb when there is no display), as one CTest test
# named after it. GoogleTest's own summary tells which cases failed.
function(gantline_cross_test target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ARGS")
  add_test(NAME ${target}
    COMMAND ${GANTLINE_WINE_RUN} $<TARGET_FILE:${target}> ${arg_ARGS}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>)
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "${GANTLINE_WINE_ENV}"
    FIXTURES_REQUIRED wine_prefix
    LABELS windows
    TIMEOUT 300)
endfunction()
