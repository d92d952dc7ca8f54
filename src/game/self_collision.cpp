// The head running into the serpent's own body.
#include "game_state.h"
#include "segments.h"

// Called after the head moved but before the body follows, so segment 1 still holds the head's
// previous square, one step away. The loop goes on after a hit: every overlapping segment ends
// the game once more.
void CheckSelfCollision() {
  const int32_t live = LiveSegments();
  for (int32_t j = 1; j < live; ++j) {
    if (HeadOverlaps(GameState.segmentX[j], GameState.segmentY[j])) EndGame();
  }
}
