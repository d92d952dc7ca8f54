// What the rules share about the serpent's squares: how many entries are live, and when two
// overlap.
#pragma once

#include <algorithm>
#include <cstdint>

#include "game_state.h"

// segmentCount bounded by the arrays, so no loop over the serpent can leave them even if the
// count were ever set out of range from outside the rules.
inline int32_t LiveSegments() {
  return std::clamp<int32_t>(GameState.segmentCount, 0, kMaxSegments);
}

// Closed bounds on both axes: corners 7 apart touch, 8 apart (one step) don't. Worked in double
// so that the float corners plus the integer side compare without rounding.
inline bool SquaresOverlap(float headX, float headY, float otherX, float otherY) {
  const double side = GameState.blockSize;
  const double dx = static_cast<double>(headX) - otherX;
  const double dy = static_cast<double>(headY) - otherY;
  return dx <= side && -dx <= side && dy <= side && -dy <= side;
}

// The head (entry 0) against any square given by its lower-left corner.
inline bool HeadOverlaps(float otherX, float otherY) {
  return SquaresOverlap(GameState.segmentX[0], GameState.segmentY[0], otherX, otherY);
}
