# Cross-building for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# posix thread model, which std::thread and GoogleTest need). Programs are linked statically, so a
# .exe needs nothing beside it but Windows' own DLLs; ctest runs them under Wine.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_PREFIX_PATH=<target libraries> ...
#
# scripts/test-windows.sh does all of it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tierwise_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${tierwise_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tierwise_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tierwise_mingw}-windres)

# Target libraries come from the MinGW sysroot and the prefixes named in CMAKE_PREFIX_PATH, never
# from the build machine's /usr; programs that run during the build (ninja, python) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${tierwise_mingw} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No zlib1.dll, libstdc++-6.dll or libwinpthread-1.dll beside the program.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest, and GoogleTest's test discovery, run the programs under Wine.
find_program(TIERWISE_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TIERWISE_WINE})
