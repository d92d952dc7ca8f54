// Start-up in the browser, in two steps: main prints the banner and the prompt, and the page
// calls VelmorakStart with the line the player typed. The rest is the desktop's start-up.
#include <emscripten.h>

#include <iostream>
#include <sstream>

#include "console.h"
#include "game_state.h"
#include "special_keys.h"
#include "start_game.h"

int main() {
  GameState.segmentX[0] = 100.0f;
  GameState.segmentY[0] = 100.0f;
  WriteLevelPrompt(std::cout);
  // The runtime stays: the page's input line carries on from here.
  return 0;
}

extern "C" {

// The typed line, as the desktop's console would hand it over. One page plays one game: a second
// call does nothing. GLUT's main loop ends this call by unwinding to the page.
EMSCRIPTEN_KEEPALIVE void VelmorakStart(const char* line) {
  static bool started = false;
  if (started) return;
  started = true;
  std::istringstream typed(line != nullptr ? line : "");
  static int argc = 1;
  static char name[] = "velmorak";
  static char* argv[] = {name, nullptr};
  StartGame(ReadLevel(typed), &argc, argv);
}

// A hidden page gets its timers slowed to a crawl: the game pauses as F1 would, and F1 resumes
// it. A game already paused or over is left as it is.
EMSCRIPTEN_KEEPALIVE void VelmorakPauseForHiddenPage() {
  if (GameState.paused == 0) OnSpecialKey(KeyF1, 0, 0);
}

}  // extern "C"
