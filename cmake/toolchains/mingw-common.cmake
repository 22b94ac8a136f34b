# Shared by the MinGW-w64 toolchain files; they set VALBRIX_MINGW_TRIPLE first.
#
# Debian ships win32- and posix-thread variants of the cross compilers. We take
# the posix ones because they have std::thread, std::mutex and friends, which
# the win32 variants of GCC 12 lack.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 10)

set(CMAKE_C_COMPILER   ${VALBRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VALBRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VALBRIX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VALBRIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A fully static executable runs on a bare Windows (and under wine) without
# libstdc++-6.dll, libgcc_s_*.dll or libwinpthread-1.dll next to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and anything else CMake runs at build time go through wine. A preset
# or -D on the command line may point this elsewhere.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh")
endif()
