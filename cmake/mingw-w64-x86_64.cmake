# Cross-compiles the Windows x86_64 form with Debian's MinGW-w64 (posix
# threads, so std::thread and std::mutex work). Use:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OL7T_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OL7T_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OL7T_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OL7T_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OL7T_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs and tools run through Wine on the build machine.
find_program(OL7T_WINE wine)
if(OL7T_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OL7T_WINE})
endif()
