// The beep on X11 desktops (Linux and the other systems freeglut runs on over X): the X server's
// bell. What it sounds like, or whether it sounds at all, is the desktop's setting; a window
// without a GLX display current rings nothing.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "platform.h"

// The bell on the window's own display: desktops turn it into their alert sound, and standard
// output stays free of anything but the game's texts.
void SoundBeep() {
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr) return;
  XBell(display, 0);
  XFlush(display);
}
