# The browser build's toolchain: Debian's emscripten, whose system libraries come prebuilt.
# Nothing is run in node while building, so no emulator is set (emcmake's default passes node a
# flag that newer versions refuse).
set(CMAKE_CROSSCOMPILING_EMULATOR "" CACHE FILEPATH "No emulator: nothing runs while building")
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
