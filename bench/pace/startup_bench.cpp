// Start-up time of the real game: from the moment its level line is written to its standard
// input to the moment its first frame is on screen, as the median of several runs, beside a
// bare freeglut program that opens the same window and draws one cleared frame.
//
// The end is taken inside the program: a preloaded shim (first_swap_shim.cpp) notes the
// monotonic clock when the first glXSwapBuffers has returned and the X server has handled it.
// The start is taken here on the same clock, just before the line is written; the program has
// by then printed its prompt, so loading its libraries is not part of the figure, while creating
// the GL context, loading the pictures and drawing the first frame are.
//
// Every run gets a fresh play folder with copies of the two pictures; all runs share one
// private Xvfb, and game and reference take turns so a busy spell of the machine hits both.
//
// Usage: startup_bench [--quick]   (--quick: 3 runs each instead of 10)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "game_launch.h"
#include "xvfb_server.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStartTimeoutMs = 20000;

struct Program {
  const char* name;
  const char* path;
  std::vector<double> runs;  // ms from the level line to the first frame
};

// One run; false with a message on standard error when the program never showed a frame.
bool TimeOneRun(const std::string& display, Program* program) {
  PlayFolder folder;
  if (!folder.Create() || !folder.CopyPictures(VELMORAK_PLAY_DIR)) {
    std::fprintf(stderr, "%s: %s\n", program->name, folder.error().c_str());
    return false;
  }
  const std::string swapFile = folder.path() + "/first_swap";
  ChildProcess process;
  if (!process.Start(
          GameCommand(program->path, folder.path(), display,
                      {"LD_PRELOAD=" FIRST_SWAP_SHIM, "VELMORAK_FIRST_SWAP_FILE=" + swapFile}))) {
    std::fprintf(stderr, "%s: %s\n", program->name, process.error().c_str());
    return false;
  }
  if (!process.WaitForOutput("Level :", kStartTimeoutMs)) {
    std::fprintf(stderr, "%s: no level prompt within %d ms; output:\n%s\n", program->name,
                 kStartTimeoutMs, process.Output().c_str());
    return false;
  }
  const auto start = Clock::now();
  process.WriteInputAndClose("5\n");

  std::string text;
  while (!folder.ReadFile("first_swap", &text)) {
    if (Clock::now() - start > std::chrono::milliseconds(kStartTimeoutMs) || !process.Running()) {
      std::fprintf(stderr, "%s: no frame on screen within %d ms; output:\n%s\n", program->name,
                   kStartTimeoutMs, process.Output().c_str());
      return false;
    }
    usleep(1000);
  }
  process.Kill();
  const long long shown = std::atoll(text.c_str());
  const long long started =
      std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
  program->runs.push_back(static_cast<double>(shown - started) / 1e6);
  return true;
}

double Median(const std::vector<double>& values) {
  return Samples(values).Median();
}

std::string Summary(const std::vector<double>& runs) {
  auto [low, high] = std::minmax_element(runs.begin(), runs.end());
  return FormatMilliseconds(Median(runs) / 1e3, 1) + " (min " + FormatMilliseconds(*low / 1e3, 1) +
         ", max " + FormatMilliseconds(*high / 1e3, 1) + ")";
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  if (!OnlyQuickFlag(argc, argv, &quick)) return 2;
  const int runs = quick ? 3 : 10;

  XvfbServer server;
  if (!server.Start()) {
    std::fprintf(stderr, "startup_bench needs Xvfb: %s\n", server.error().c_str());
    return 1;
  }
  Program game{"velmorak", VELMORAK_GAME, {}};
  Program bare{"bare freeglut window", BARE_WINDOW, {}};
  for (int i = 0; i < runs; ++i) {
    for (Program* program : {&game, &bare}) {
      if (!TimeOneRun(server.display(), program)) return 1;
    }
  }
  server.Stop();

  for (const Program* program : {&game, &bare}) {
    std::printf("%-22s", program->name);
    for (double ms : program->runs) std::printf(" %6.1f", ms);
    std::printf("  ms\n");
  }
  const bool tableOk =
      AddTableRow({"start-up, level line to first frame, median of " + std::to_string(runs),
                   Summary(game.runs), Summary(bare.runs) + " (bare freeglut window)",
                   FormatRatio(Median(game.runs), Median(bare.runs)), "-", "-"});
  return tableOk ? 0 : 1;
}
