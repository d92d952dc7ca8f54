// Start-up in the browser (any with WebGL 1 and WebAssembly), in two steps: main prints the
// banner and the prompt, and the page calls VelmorakStart with the line the player typed; the rest
// is the desktop's start-up. A page has no console to read from and plays one game: the page's
// level line stands in for the console, and a second start does nothing.
#include <emscripten.h>

#include <cstring>
#include <iostream>
#include <sstream>

#include "console.h"
#include "game_state.h"
#include "special_keys.h"
#include "start_game.h"

int main() {
  WriteLevelPrompt(std::cout);
  // The runtime stays: the page's input line carries on from here.
  return 0;
}

namespace {

bool started = false;

}  // namespace

extern "C" {

// The typed line, as the desktop's console would hand it over. One page plays one game: a second
// call does nothing. GLUT's main loop ends this call by unwinding to the page.
EMSCRIPTEN_KEEPALIVE void VelmorakStart(const char* line) {
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

// The page's touch controls: a swipe or an on-screen button is the arrow key or F1 it stands for,
// through the same handler. Before the game starts there is no handler yet; a name the page
// doesn't know does nothing.
EMSCRIPTEN_KEEPALIVE void VelmorakPressKey(const char* name) {
  static const struct {
    const char* name;
    SpecialKey key;
  } kKeys[] = {
      {"left", KeyLeft}, {"up", KeyUp}, {"right", KeyRight}, {"down", KeyDown}, {"pause", KeyF1}};
  if (!started || name == nullptr) return;
  for (const auto& entry : kKeys) {
    if (std::strcmp(name, entry.name) == 0) OnSpecialKey(entry.key, 0, 0);
  }
}

}  // extern "C"
