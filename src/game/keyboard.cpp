// The player's keys: arrows set the heading, F1 pauses and resumes.
#include "game_state.h"
#include "special_keys.h"

namespace {

// Against the stored heading, not the last move: two quick turns between ticks can still take
// the serpent back onto itself, and the body rule judges that.
void Steer(int32_t heading, int32_t opposite) {
  if (GameState.direction != opposite) GameState.direction = heading;
}

// A finished game has paused set, and gameOver keeps F1 from clearing it: Over stays Over.
void TogglePause() {
  if (GameState.paused == 0) {
    GameState.paused = 1;
    GameState.showPaused = 1;
  } else if (GameState.gameOver != 1) {
    GameState.paused = 0;
    GameState.showPaused = 0;
  }
}

}  // namespace

// Stores intent only; the next tick moves and the next frame shows it. The pointer position is
// of no use to the game.
void OnSpecialKey(int32_t key, int32_t, int32_t) {
  switch (key) {
    case KeyLeft:
      Steer(DirLeft, DirRight);
      break;
    case KeyRight:
      Steer(DirRight, DirLeft);
      break;
    case KeyUp:
      Steer(DirUp, DirDown);
      break;
    case KeyDown:
      Steer(DirDown, DirUp);
      break;
    case KeyF1:
      TogglePause();
      break;
    default:
      break;
  }
}
