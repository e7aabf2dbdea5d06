# Cross build for Windows with MinGW-w64; QUORVEL_MINGW_ARCH (i686 or x86_64)
# picks the target. The posix thread model serves the test programs
# (GoogleTest needs std::mutex); everything links statically, so nothing
# depends on a MinGW DLL.
if(NOT QUORVEL_MINGW_ARCH)
    set(QUORVEL_MINGW_ARCH i686)
endif()
set(triple ${QUORVEL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUORVEL_MINGW_ARCH})
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
