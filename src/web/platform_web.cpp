// The toolkit services of the rules in the browser: emscripten's GLUT for redraws and timers, the
// page for the beep, and the page told once when the game is over.
#include <GL/glut.h>
#include <emscripten.h>

#include "game_state.h"
#include "platform.h"
#include "tick_pacer.h"

namespace {

// The same schedule as on the desktop, on GLUT's clock (the page's wall clock in milliseconds).
TickPacer TickSchedule;
bool gameOverTold = false;

int32_t ToolkitNow() {
  return glutGet(GLUT_ELAPSED_TIME);
}

// The page's Web Audio tone; it stays silent until the player's first key press has let the page
// make its sound.
EM_JS(void, PageBeep, (), {
  if (Module.velmorakBeep) Module.velmorakBeep();
});

// The page saves the score record to lasting storage and shows it.
EM_JS(void, PageGameOver, (), {
  if (Module.velmorakGameOver) Module.velmorakGameOver();
});

}  // namespace

void RequestRedraw() {
  glutPostRedisplay();
}

void StartTicking(int32_t firstDelayMs) {
  glutTimerFunc(TickSchedule.Start(ToolkitNow(), firstDelayMs), OnTick, 1);
}

// Every tick ends here, the one that ends the game too: by now its record is written and closed,
// however many times the rules ended the game in it.
void ArmTickTimer(int milliseconds) {
  if (GameState.gameOver == 1 && !gameOverTold) {
    gameOverTold = true;
    PageGameOver();
  }
  glutTimerFunc(TickSchedule.Next(ToolkitNow(), milliseconds), OnTick, 1);
}

void SoundBeep() {
  PageBeep();
}
