// The toolkit services with the timer re-armed plainly, counted from the moment each tick runs:
// the comparison the tick pace benchmark measures the game's schedule against.
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

void RequestRedraw() {
  glutPostRedisplay();
}

void StartTicking(int32_t firstDelayMs) {
  glutTimerFunc(firstDelayMs > 0 ? static_cast<unsigned>(firstDelayMs) : 0u, OnTick, 1);
}

void ArmTickTimer(int milliseconds) {
  glutTimerFunc(milliseconds > 0 ? static_cast<unsigned>(milliseconds) : 0u, OnTick, 1);
}

// Rings like the game does, so both chains carry the same load at a wall.
#ifdef _WIN32
void SoundBeep() {
  MessageBeep(0xFFFFFFFF);
}
#else
void SoundBeep() {
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr) return;
  XBell(display, 0);
  XFlush(display);
}
#endif
