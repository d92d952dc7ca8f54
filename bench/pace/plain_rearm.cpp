// The toolkit services with the timer re-armed plainly, counted from the moment each tick runs:
// the comparison the tick pace benchmark measures the game's schedule against. The beep is the
// game's own (velmorak_beep), so both chains carry the same load at a wall.
#include <GL/freeglut.h>

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
