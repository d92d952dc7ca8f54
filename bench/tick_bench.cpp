// How long a tick takes with the serpent at full length, and how long placing food takes.
#include <benchmark/benchmark.h>

#include "game_state.h"
#include "platform.h"

// The benchmark needs no window: the toolkit services do nothing here.
void RequestRedraw() {}
void ArmTickTimer(int) {}
void SoundBeep() {}

namespace {

// A full-length serpent in a world too large for its walls, wandering in rows 16 apart so it never
// meets its own body or the food.
void BM_TickFullSerpent(benchmark::State& state) {
  GameState = GameRecord{};
  GameState.worldWidth = GameState.worldHeight = 1.0e6f;
  GameState.edgeStep = GameState.stepX;
  GameState.segmentCount = kMaxSegments;
  GameState.foodX = GameState.foodY = -1000.0f;
  for (auto _ : state) {
    if (GameState.segmentX[0] > 9.0e5f) {
      GameState.segmentX[0] = 0.0f;
      GameState.segmentY[0] = GameState.segmentY[0] > 9.0e5f ? 0.0f : GameState.segmentY[0] + 16.0f;
    }
    OnTick(1);
  }
  if (GameState.gameOver != 0) state.SkipWithError("the serpent ran into something");
}
BENCHMARK(BM_TickFullSerpent);

void BM_PlaceFood(benchmark::State& state) {
  GameState = GameRecord{};
  GameState.edgeStep = GameState.stepX;
  for (auto _ : state) {
    PlaceFood(500, 250);  // the wide world, where y needs bringing back inside
    benchmark::DoNotOptimize(GameState.foodY);
  }
}
BENCHMARK(BM_PlaceFood);

}  // namespace

BENCHMARK_MAIN();
