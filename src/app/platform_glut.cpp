// The toolkit services of the rules, on freeglut and the X server the window lives on.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "game_state.h"
#include "platform.h"

void RequestRedraw() {
  glutPostRedisplay();
}

void ArmTickTimer(int milliseconds) {
  glutTimerFunc(static_cast<unsigned>(milliseconds), OnTick, 1);
}

// The X server's bell on the window's own display: desktops turn it into their alert sound, and
// standard output stays free of anything but the game's texts.
void SoundBeep() {
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr) return;
  XBell(display, 0);
  XFlush(display);
}
