// Start-up in the browser (any with WebGL 1 and WebAssembly), in two steps: main prints the
// banner and the prompt, and the page calls VelmorakStart with the line the player typed; the rest
// is the desktop's start-up. A page has no console to read from: the page's level line stands in
// for it. After a game over the page may ask for another game, which starts as a fresh run of the
// program would, banner and prompt first, in the window the first game opened.
#include <emscripten.h>

#include <cstring>
#include <iostream>
#include <sstream>

#include "console.h"
#include "game_state.h"
#include "page_game_over.h"
#include "special_keys.h"
#include "start_game.h"
#include "texture_font.h"

int main() {
  WriteLevelPrompt(std::cout);
  // The runtime stays: the page's input line carries on from here.
  return 0;
}

namespace {

// Where the page is between its games: a prompt waiting for its level, or a game in the window.
bool prompted = true;
bool windowOpen = false;

}  // namespace

extern "C" {

// The typed line, as the desktop's console would hand it over; only a prompt takes one, so a
// second call during a game does nothing. GLUT's main loop ends this call by unwinding to the page.
EMSCRIPTEN_KEEPALIVE void VelmorakStart(const char* line) {
  if (!prompted) return;
  prompted = false;
  std::istringstream typed(line != nullptr ? line : "");
  const int32_t level = ReadLevel(typed);
  if (windowOpen) {
    ListenForNextGameOver();
    StartAnotherGame(level);
    return;
  }
  windowOpen = true;
  static int argc = 1;
  static char name[] = "velmorak";
  static char* argv[] = {name, nullptr};
  StartGame(level, &argc, argv);
}

// Another game, once the last is over: the banner and the prompt again, as a new run prints them.
// Returns whether the prompt is out; during a game, or with a prompt already waiting, nothing
// happens.
EMSCRIPTEN_KEEPALIVE int VelmorakPlayAgain() {
  if (prompted || GameState.gameOver != 1) return 0;
  prompted = true;
  WriteLevelPrompt(std::cout);
  return 1;
}

// The canvas has as many pixels to each CSS pixel as the screen: the panel's texts are drawn that
// many times as large, so they stay as tall on the screen as in a window at ratio 1.
EMSCRIPTEN_KEEPALIVE void VelmorakSetTextScale(int scale) {
  SetTextureTextScale(scale);
}

// A hidden page gets its timers slowed to a crawl: the game pauses as F1 would, and F1 resumes
// it. A game already paused or over is left as it is.
EMSCRIPTEN_KEEPALIVE void VelmorakPauseForHiddenPage() {
  if (GameState.paused == 0) OnSpecialKey(KeyF1, 0, 0);
}

// The page's touch controls: a swipe or an on-screen button is the arrow key or F1 it stands for,
// through the same handler. Before the first game starts there is no handler yet; a name the page
// doesn't know does nothing. Between games the last one is over, and over stays over.
EMSCRIPTEN_KEEPALIVE void VelmorakPressKey(const char* name) {
  static const struct {
    const char* name;
    SpecialKey key;
  } kKeys[] = {
      {"left", KeyLeft}, {"up", KeyUp}, {"right", KeyRight}, {"down", KeyDown}, {"pause", KeyF1}};
  if (!windowOpen || name == nullptr) return;
  for (const auto& entry : kKeys) {
    if (std::strcmp(name, entry.name) == 0) OnSpecialKey(entry.key, 0, 0);
  }
}

}  // extern "C"
