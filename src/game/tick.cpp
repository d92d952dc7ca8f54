// One step of the game, called by the toolkit's timer at the level's pace.
#include <cstdio>

#include "game_state.h"
#include "platform.h"
#include "segments.h"

namespace {

// Bounds come from the current world every tick, since a reshape may have changed it.
double RightWall() {
  return static_cast<double>(GameState.worldWidth) - GameState.blockSize;
}
double TopWall() {
  return static_cast<double>(GameState.worldHeight) - GameState.blockSize - GameState.panelHeight;
}
// The top clamp leaves the panel out on purpose: segments may sit under the panel.
double TopClamp() {
  return static_cast<double>(GameState.worldHeight) - GameState.blockSize;
}

float Shifted(float position, double by) {
  return static_cast<float>(static_cast<double>(position) + by);
}

void WriteLine(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

// Tested on where the last tick left the head, before this tick's move. The game ends at every
// hit and the tests go on: later tests see the pushed-back head, and the rest of the tick runs.
void TestWalls() {
  float& headX = GameState.segmentX[0];
  float& headY = GameState.segmentY[0];
  if (headX > RightWall()) {
    headX = Shifted(headX, -GameState.edgeStep);
    std::printf("window width :%g\n", static_cast<double>(GameState.worldWidth));
    std::fflush(stdout);
    WriteLine("CASE 1");
    EndGame();
  }
  if (headX < 0.0) {
    headX = Shifted(headX, GameState.edgeStep);
    WriteLine("CASE 2");
    EndGame();
  }
  if (headY > TopWall()) {
    headY = Shifted(headY, -GameState.edgeStep);
    WriteLine("CASE 3");
    EndGame();
  }
  if (headY < 0.0) {
    headY = Shifted(headY, GameState.edgeStep);
    WriteLine("CASE 4");
    EndGame();
  }
}

// Keeps squares from being left beyond a window that just got smaller.
void ClampSegments() {
  const double right = RightWall();
  const double top = TopClamp();
  const int32_t live = LiveSegments();
  for (int32_t i = 0; i < live; ++i) {
    if (GameState.segmentX[i] > right) GameState.segmentX[i] = static_cast<float>(right - 1.0);
    if (GameState.segmentY[i] > top) GameState.segmentY[i] = static_cast<float>(top - 1.0);
  }
}

void MoveHead() {
  switch (GameState.direction) {
    case DirLeft:
      GameState.segmentX[0] = Shifted(GameState.segmentX[0], -GameState.stepX);
      break;
    case DirRight:
      GameState.segmentX[0] = Shifted(GameState.segmentX[0], GameState.stepX);
      break;
    case DirUp:
      GameState.segmentY[0] = Shifted(GameState.segmentY[0], GameState.stepY);
      break;
    case DirDown:
      GameState.segmentY[0] = Shifted(GameState.segmentY[0], -GameState.stepY);
      break;
    default:
      break;
  }
}

// Runs over the count as the meals left it, so a new tail entry takes the old tail's place and
// the serpent grows where its tail was; segment 1 ends on the head.
void FollowHead() {
  for (int32_t k = LiveSegments(); k >= 2; --k) {
    GameState.segmentX[k - 1] = GameState.segmentX[k - 2];
    GameState.segmentY[k - 1] = GameState.segmentY[k - 2];
  }
}

}  // namespace

// Paused or over, nothing moves, but the frame is still redrawn and the chain of ticks never
// breaks, so F1 and a finished game show within one interval.
void OnTick(int32_t) {
  if (GameState.paused == 0 && GameState.gameOver == 0) {
    TestWalls();
    ClampSegments();
    MoveHead();
    CheckSelfCollision();
    CheckFood();
    FollowHead();
  }
  RequestRedraw();
  ArmTickTimer(GameState.tickInterval);
}
