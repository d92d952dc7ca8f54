# The toolkit the game draws, times and beeps with, as one target: velmorak::toolkit.
# What each window system's stack takes to link (VelmorakPlatform.cmake names the one this build
# is for); the targets that need the toolkit link this one and never ask which platform they are on.
include_guard(GLOBAL)
include(VelmorakPlatform)

add_library(velmorak_toolkit INTERFACE)
add_library(velmorak::toolkit ALIAS velmorak_toolkit)

if(VELMORAK_WINDOW_SYSTEM STREQUAL "web")
  # Browsers: emscripten's GLUT over WebGL 1, with its emulation of the GL's immediate mode and
  # fixed-function pipeline. Its own glut.h is all there is; CMake's FindGLUT doesn't know it.
  target_link_options(velmorak_toolkit INTERFACE -sLEGACY_GL_EMULATION=1 -lGL -lglut)
elseif(VELMORAK_WINDOW_SYSTEM STREQUAL "x11")
  # X11 desktops: freeglut over GLX, and Xlib for the bell.
  find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
  find_package(GLUT REQUIRED)
  find_package(X11 REQUIRED)
  target_link_libraries(velmorak_toolkit INTERFACE OpenGL::GL OpenGL::GLX GLUT::GLUT X11::X11)
elseif(VELMORAK_WINDOW_SYSTEM STREQUAL "windows")
  # Windows: opengl32 and a static freeglut (it brings winmm and gdi32), so the exe needs no DLL
  # beyond Windows' own. mingw's GL/gl.h pulls in <windows.h>: keep its min/max macros and its
  # rarely used parts out of every file that draws.
  find_package(OpenGL REQUIRED COMPONENTS OpenGL)
  find_package(FreeGLUT CONFIG REQUIRED)
  target_link_libraries(velmorak_toolkit INTERFACE FreeGLUT::freeglut_static OpenGL::GL)
  target_compile_definitions(velmorak_toolkit INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN)
  # freeglut installs GL/glut.h only where it replaces the system's GLUT, which on Windows it
  # doesn't; the code shared with the browser build includes that name, so give it the header
  # freeglut itself would have installed.
  set(glut_shim ${CMAKE_BINARY_DIR}/toolkit-include)
  file(CONFIGURE OUTPUT ${glut_shim}/GL/glut.h
       CONTENT "#pragma once\n#include <GL/freeglut_std.h>\n")
  target_include_directories(velmorak_toolkit INTERFACE ${glut_shim})
endif()
