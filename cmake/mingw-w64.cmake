# Cross-builds the Windows programs with Debian's mingw-w64:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake [-DKIVO_WINDOWS_ARCH=i686] ...
# The posix thread flavour is used because the tests need std::thread; everything is linked
# statically so that kivo.exe needs nothing but the system's own DLLs.
set(KIVO_WINDOWS_ARCH "x86_64" CACHE STRING "x86_64 or i686")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KIVO_WINDOWS_ARCH})
set(_triple ${KIVO_WINDOWS_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Tests run under wine when it is there.
find_program(KIVO_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(KIVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KIVO_WINE})
endif()
