# Cross-building the Windows game (64-bit) with Debian's mingw-w64, posix thread model.
# Everything is linked statically: the exe and the programs the build runs under Wine need no DLL
# beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORAK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORAK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORAK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORAK_MINGW}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Libraries and headers come from the mingw tree; the freeglut and GoogleTest builds for Windows
# come in through CMAKE_PREFIX_PATH, searched before anything of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORAK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The build runs the picture tool and lists the tests' cases through this, and ctest runs the
# tests through it. scripts/wine.sh keeps Wine in the build's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
