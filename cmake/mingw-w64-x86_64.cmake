# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
# Everything is linked statically, so quadkit.exe needs no DLL beyond those
# every Windows has (KERNEL32, msvcrt). When Wine is installed, CTest runs
# the test executables through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUADKIT_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX thread model: its libstdc++ has std::mutex, which GoogleTest
# needs; the thread library is linked in statically like the rest.
set(CMAKE_C_COMPILER ${QUADKIT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUADKIT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUADKIT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUADKIT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(QUADKIT_WINE NAMES wine64 wine)
if(QUADKIT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUADKIT_WINE})
endif()
