// The toolkit services of the rules, on freeglut and the system the window lives on: the X
// server on Linux, Windows' own beep there. Redraws and the tick schedule are glut_ticks.cpp.
#include <GL/freeglut.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <GL/glx.h>
#include <X11/Xlib.h>
#endif

#include "glut_ticks.h"
#include "platform.h"

// The desktop's ticks are the plain schedule; see glut_ticks.cpp.
void ArmTickTimer(int milliseconds) {
  ArmNextTick(milliseconds);
}

#ifdef _WIN32

// The system's simple beep; it comes back at once, and a failure leaves nothing to do.
void SoundBeep() {
  MessageBeep(0xFFFFFFFF);
}

#else

// The X server's bell on the window's own display: desktops turn it into their alert sound, and
// standard output stays free of anything but the game's texts.
void SoundBeep() {
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr) return;
  XBell(display, 0);
  XFlush(display);
}

#endif
