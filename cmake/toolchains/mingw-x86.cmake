# Cross build for 32-bit Windows with mingw-w64:
#   cmake -S . -B build/win32 -G Ninja --toolchain cmake/toolchains/mingw-x86.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(GANTLINE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
