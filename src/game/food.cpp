// Eating: the head against the food, and where the next food lands.
#include <cmath>
#include <cstdint>

#include "game_state.h"
#include "platform.h"
#include "segments.h"

namespace {

// The world's extent as PlaceFood takes it, truncated toward zero. An extent no int32 can hold
// never comes from a real window; it gives 0 rather than an undefined conversion.
int32_t TruncateExtent(float extent) {
  if (!(extent > -2147483648.0f && extent < 2147483648.0f)) return 0;
  return static_cast<int32_t>(extent);
}

// The shorter side of the world is always 250, so the width is positive in play; the guard only
// keeps a nonsense width from dividing by zero.
int32_t Remainder(int32_t value, int32_t width) {
  return width > 0 ? value % width : 0;
}

// Food beyond the playfield can never be reached, and the game could not go on. Only such food
// moves: it is folded back by the playfield's span, so it stays on whole units and spreads over
// the whole range instead of piling up at the edge.
float FoldInside(float position, double limit) {
  if (!(position > limit)) return position;
  if (limit < 0.0) return 0.0f;
  const int64_t span = static_cast<int64_t>(std::floor(limit)) + 1;
  return static_cast<float>(static_cast<int64_t>(position) % span);
}

}  // namespace

void PlaceFood(int32_t width, int32_t height) {
  GameRecord& g = GameState;
  g.foodX = static_cast<float>(Remainder(GameRandom(), width) - 8);
  // The width again for y: in a world wider than it is high y can land above the top and needs
  // the fold below.
  g.foodY = static_cast<float>(Remainder(GameRandom(), width) - 8);

  // One correction per edge and no retry loop; the right and top tests see the left and bottom
  // ones' results.
  const double rightLimit = static_cast<float>(int64_t{width} - g.blockSize - 8);
  const double topLimit =
      static_cast<double>(static_cast<float>(int64_t{height} - g.blockSize)) - g.panelHeight - 8.0;
  if (g.foodX < 0.0) g.foodX = static_cast<float>(static_cast<double>(g.foodX) + g.edgeStep);
  if (g.foodX > rightLimit) g.foodX = static_cast<float>(static_cast<double>(g.foodX) - g.edgeStep);
  if (g.foodY < 0.0) g.foodY = static_cast<float>(static_cast<double>(g.foodY) + g.edgeStep);
  if (g.foodY > topLimit) g.foodY = static_cast<float>(static_cast<double>(g.foodY) - g.edgeStep);

  g.foodX = FoldInside(g.foodX, static_cast<double>(width) - g.blockSize);
  g.foodY = FoldInside(g.foodY, static_cast<double>(height) - g.blockSize - g.panelHeight);
}

// Each meal adds a pass, so new food that lands on the head is eaten at once, with its own beep
// and segment. The first pass without a meal changes nothing, and neither would any after it.
void CheckFood() {
  for (int32_t pass = 0; pass < GameState.segmentCount; ++pass) {
    if (!HeadOverlaps(GameState.foodX, GameState.foodY)) return;
    SoundBeep();
    PlaceFood(TruncateExtent(GameState.worldWidth), TruncateExtent(GameState.worldHeight));
    // At capacity the meal still counts as a meal (beep, new food), but there is no entry left
    // for another segment.
    if (GameState.segmentCount < kMaxSegments) ++GameState.segmentCount;
  }
}
