# 64-bit Windows with MinGW-w64's g++ (the posix threads flavour, for
# std::thread and std::mutex). The C++ runtime, libgcc and winpthread are
# linked in, so trovlin-cli.exe needs no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TROVLIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${TROVLIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_C_COMPILER ${TROVLIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_RC_COMPILER ${TROVLIN_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TROVLIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
