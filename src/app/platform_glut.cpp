// The toolkit services of the rules, on freeglut and the system the window lives on: the X
// server on Linux, Windows' own beep there.
#include <GL/freeglut.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <GL/glx.h>
#include <X11/Xlib.h>
#endif

#include "game_state.h"
#include "platform.h"
#include "tick_pacer.h"

namespace {

// The schedule of every tick of the run; only callbacks on the event loop's thread touch it.
TickPacer TickSchedule;

// freeglut's own clock: its timers fall due on it, so a due time kept here is hit to the
// millisecond, where one kept on another clock would be rounded against this one every tick.
// It is an int that wraps after about 24.8 days; the pacer only takes differences of it.
int32_t ToolkitNow() {
  return glutGet(GLUT_ELAPSED_TIME);
}

}  // namespace

void RequestRedraw() {
  glutPostRedisplay();
}

void StartTicking(int32_t firstDelayMs) {
  glutTimerFunc(TickSchedule.Start(ToolkitNow(), firstDelayMs), OnTick, 1);
}

// freeglut counts a timer from the moment it is armed, so arming the plain interval would let
// each tick's lateness push all later ones back; the schedule absorbs it instead.
void ArmTickTimer(int milliseconds) {
  glutTimerFunc(TickSchedule.Next(ToolkitNow(), milliseconds), OnTick, 1);
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
