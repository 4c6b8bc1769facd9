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
# Test programs run under Wine: the 64-bit ones with its 64-bit loader, the 32-bit ones with its
# 32-bit loader (wine32), in the same prefix.
if(VT_TRIPLE STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-run)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-run --32)
endif()
