# Which platform this build makes the game for, decided here once. Everything else takes the
# names below and never asks the platform itself: as raylib's build picks one file of its
# src/platforms/, a folder adds the one file named after the platform (beep_x11.cpp or
# beep_windows.cpp is beep_${VELMORAK_WINDOW_SYSTEM}.cpp).
#   VELMORAK_FRONT_END      the folder under src/ with the front end: desktop or web
#   VELMORAK_OS             the operating system's files (files, blocks): posix or windows
#   VELMORAK_WINDOW_SYSTEM  what draws the window and sounds the beep: x11, windows or web
#   VELMORAK_TEXTURE_FONT   whether the build makes the panel's texture font (its table and library)
# The build's tools include this too, without the toolkit: it looks at no library.
include_guard(GLOBAL)

if(EMSCRIPTEN)
  # Browsers. Emscripten's file system behaves as POSIX's does. WebGL has no bitmap fonts: the
  # panel draws with the texture font.
  set(VELMORAK_FRONT_END web)
  set(VELMORAK_OS posix)
  set(VELMORAK_WINDOW_SYSTEM web)
  set(VELMORAK_TEXTURE_FONT ON)
elseif(WIN32)
  # Windows desktops. GLUT's own fonts draw the panel, and none of the texture font's tests run
  # here, so the build goes without it.
  set(VELMORAK_FRONT_END desktop)
  set(VELMORAK_OS windows)
  set(VELMORAK_WINDOW_SYSTEM windows)
  set(VELMORAK_TEXTURE_FONT OFF)
elseif(UNIX AND NOT APPLE)
  # Linux and other X11 desktops. GLUT's fonts draw the panel; builds with tests make the texture
  # font to compare it with them.
  set(VELMORAK_FRONT_END desktop)
  set(VELMORAK_OS posix)
  set(VELMORAK_WINDOW_SYSTEM x11)
  set(VELMORAK_TEXTURE_FONT ON)
else()
  message(FATAL_ERROR "Velmorak Revir knows no front end for ${CMAKE_SYSTEM_NAME}")
endif()
