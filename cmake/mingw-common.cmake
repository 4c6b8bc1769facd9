# Shared part of the MinGW-w64 toolchain files; VT_TRIPLE names the target.
# The posix thread model: its libstdc++ has std::mutex, which GoogleTest needs. Everything is
# linked statically, so no libwinpthread DLL comes along.
set(CMAKE_C_COMPILER ${VT_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VT_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VT_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VT_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs of the 64-bit build run under Wine; the 32-bit ones cannot run on this kernel.
if(VT_TRIPLE STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
endif()
