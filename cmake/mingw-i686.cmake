# Cross toolchain: 32-bit Windows with mingw-w64 (posix threads). Built, not run here.
set(TOOL_PREFIX i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
