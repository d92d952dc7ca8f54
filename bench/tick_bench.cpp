// How long a tick takes with the serpent at full length, whether it allocates, and how long
// placing food takes.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench_support.h"
#include "counting_new.h"
#include "game_state.h"
#include "platform.h"

// The benchmark needs no window: the toolkit services do nothing here.
void RequestRedraw() {}
void ArmTickTimer(int) {}
void SoundBeep() {}

namespace {

// The fastest level ticks every 10 ms; a tick should cost a sliver of that even at full length.
constexpr double kTickGoalSeconds = 5e-6;

// A full-length serpent in a world too large for its walls, wandering in rows 16 apart so it never
// meets its own body or the food: every tick does the whole clamp, body test, food passes and
// shift over all segments.
void StartFullSerpent() {
  GameState = GameRecord{};
  GameState.worldWidth = GameState.worldHeight = 1.0e6f;
  GameState.edgeStep = GameState.stepX;
  GameState.segmentCount = kMaxSegments;
  GameState.foodX = GameState.foodY = -1000.0f;
}

// Before the head gets near the far wall it starts a new row.
void KeepAwayFromWalls() {
  if (GameState.segmentX[0] > 9.0e5f) {
    GameState.segmentX[0] = 0.0f;
    GameState.segmentY[0] = GameState.segmentY[0] > 9.0e5f ? 0.0f : GameState.segmentY[0] + 16.0f;
  }
}

void BM_TickFullSerpent(benchmark::State& state) {
  StartFullSerpent();
  for (auto _ : state) {
    KeepAwayFromWalls();
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

// Batches of ticks, so the clock's own cost vanishes; the median batch says what a tick costs
// when nothing else on the machine gets in the way.
void ReportTickCost(bool quick) {
  const int batches = quick ? 20 : 300;
  const int ticksPerBatch = 1000;
  StartFullSerpent();
  for (int i = 0; i < ticksPerBatch; ++i) {  // warm the caches
    KeepAwayFromWalls();
    OnTick(1);
  }
  Samples perTick;
  perTick.Reserve(batches);  // so that the only allocations counted below are the tick's
  const uint64_t allocationsBefore = AllocationCount();
  for (int b = 0; b < batches; ++b) {
    double start = BenchSeconds();
    for (int i = 0; i < ticksPerBatch; ++i) {
      KeepAwayFromWalls();
      OnTick(1);
    }
    perTick.Add((BenchSeconds() - start) / ticksPerBatch);
  }
  const uint64_t allocations = AllocationCount() - allocationsBefore;
  if (GameState.gameOver != 0) std::fprintf(stderr, "tick_bench: the serpent ran into something\n");

  const double ticks = static_cast<double>(batches) * ticksPerBatch;
  const double median = perTick.Median();
  AddTableRow({"tick, 1000 segments, median", FormatMicroseconds(median),
               FormatMicroseconds(kTickGoalSeconds) + " (goal)",
               FormatRatio(median / kTickGoalSeconds), "<= 5 µs",
               Verdict(median <= kTickGoalSeconds && GameState.gameOver == 0)});
  char perTickText[64];
  std::snprintf(perTickText, sizeof perTickText, "%.3g per tick (%llu in %.0f ticks)",
                allocations / ticks, static_cast<unsigned long long>(allocations), ticks);
  AddTableRow(
      {"allocations on the tick path", perTickText, "0", "-", "none", Verdict(allocations == 0)});
}

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksThenReport(argc, argv, ReportTickCost);
}
