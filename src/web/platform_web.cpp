// The toolkit services of the rules in the browser: the page's tick clock (page_ticks.cpp) for
// redraws and ticks, the page for the beep, and the page told once when the game is over. A
// browser allows no sound before the player's first key press, click or touch: beeps until then
// are silent.
#include <emscripten.h>

#include "game_state.h"
#include "glut_ticks.h"
#include "page_game_over.h"
#include "platform.h"

namespace {

bool gameOverTold = false;

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

// Every tick ends here, the one that ends the game too: by now its record is written and closed,
// however many times the rules ended the game in it.
void ArmTickTimer(int milliseconds) {
  if (GameState.gameOver == 1 && !gameOverTold) {
    gameOverTold = true;
    PageGameOver();
  }
  ArmNextTick(milliseconds);
}

void ListenForNextGameOver() {
  gameOverTold = false;
}

void SoundBeep() {
  PageBeep();
}
