# 32-bit Windows build with Debian's MinGW-w64 cross compilers. This machine
# cannot run 32-bit Windows programs (no wine32), so this build is compiled and
# linked only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VALBRIX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
