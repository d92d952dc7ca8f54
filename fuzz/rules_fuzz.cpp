// Plays the rules from a byte stream of ticks, keys, resizes and levels, checking the record's
// invariants after every step.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console.h"
#include "game_random_reset.h"
#include "game_state.h"
#include "platform.h"
#include "start_game.h"
#include "window.h"

// The toolkit is not here: the stream itself decides when ticks come.
void RequestRedraw() {}
void ArmTickTimer(int) {}
void SoundBeep() {}

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsFlag(int32_t value) {
  return value == 0 || value == 1;
}

void CheckInvariants(int32_t countBefore) {
  Require(GameState.segmentCount >= countBefore);
  Require(GameState.segmentCount >= 1 && GameState.segmentCount <= kMaxSegments);
  Require(GameState.direction >= DirLeft && GameState.direction <= DirDown);
  Require(IsFlag(GameState.paused) && IsFlag(GameState.gameOver));
  Require(IsFlag(GameState.showPaused) && IsFlag(GameState.showGameOver));
  Require(GameState.gameOver == GameState.showGameOver);
  Require(GameState.gameOver == 0 || GameState.paused == 1);
}

void StartGame() {
  GameState = GameRecord{};
  ResetGameRandom();
  PlaceHeadAtStart();
  GameState.tickInterval = TickIntervalForLevel(GameState.level);
  GameState.edgeStep = GameState.stepX;
  WorldSizeForWindow(kStartWindowWidth, kStartWindowHeight, &GameState.worldWidth,
                     &GameState.worldHeight);
}

std::string workDir;

void RemoveWorkDir() {
  std::remove((workDir + "/User_score.txt").c_str());
  rmdir(workDir.c_str());
}

const int32_t kKeys[] = {1, 100, 101, 102, 103, 2, 12, 104, 106, 0, -1, 'a'};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // EndGame writes its record into the working directory and reports on standard output; a
  // memory-backed folder keeps that from dominating the run.
  workDir = "/dev/shm/velmorak-rules-fuzz-" + std::to_string(getpid());
  if (mkdir(workDir.c_str(), 0700) != 0 || chdir(workDir.c_str()) != 0) std::abort();
  std::atexit(RemoveWorkDir);
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartGame();
  size_t at = 0;
  auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
  while (at < size) {
    int32_t before = GameState.segmentCount;
    uint8_t op = next();
    switch (op % 6) {
      case 0:
        OnTick(1);
        break;
      case 1:
        OnSpecialKey(kKeys[next() % (sizeof kKeys / sizeof kKeys[0])], next(), next());
        break;
      case 2: {
        int32_t width = next() * 16 + next() % 16;
        int32_t height = next() * 16 + next() % 16;
        WorldSizeForWindow(width, height, &GameState.worldWidth, &GameState.worldHeight);
        break;
      }
      case 3:
        GameState.level = static_cast<int8_t>(next());
        GameState.tickInterval = TickIntervalForLevel(GameState.level);
        break;
      case 4:
        for (int n = next() % 64; n > 0; --n) OnTick(1);
        break;
      case 5: {
        // Steer towards the food for a while, so long serpents and meals come up often.
        for (int n = next() % 32; n > 0; --n) {
          float dx = GameState.foodX - GameState.segmentX[0];
          float dy = GameState.foodY - GameState.segmentY[0];
          int32_t key = dx > 4 ? 102 : dx < -4 ? 100 : dy > 4 ? 101 : 103;
          OnSpecialKey(key, 0, 0);
          OnTick(1);
        }
        break;
      }
    }
    CheckInvariants(before);
  }
  return 0;
}
