// The tick pace in a real freeglut loop: chains of ticks at levels 8, 5 and 1, each paced once
// by the game's own platform code and once by a plain re-arm, all at the same time on one
// private Xvfb, so both are compared within one run on the same (shared, noisy) machine.
//
// Every chain is its own process with its own window (tick_pace_child.cpp); the chains mostly
// sleep, so running them side by side keeps the whole run near the length of the slowest one.
// Each runs in a temporary play folder, as the game writes its score file where it runs.
//
// Usage: tick_pace_bench [--quick]   (--quick: 100 ticks per chain instead of 1000)
//        tick_pace_bench [--quick] --wine=RUNNER --scheduled=EXE --plain=EXE --pictures=DIR
// The second form measures the Windows chains under Wine (RUNNER is scripts/wine.sh).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "console.h"
#include "game_launch.h"
#include "xvfb_server.h"

namespace {

// The programs of the two chains, how they are started and where their pictures come from.
struct Programs {
  std::string scheduled = SCHEDULED_CHAIN;
  std::string plain = PLAIN_CHAIN;
  std::string pictures = VELMORAK_PLAY_DIR;
  std::string wine;  // empty: native programs
};
Programs Chains;

bool TakeArguments(int argc, char** argv, bool* quick) {
  *quick = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&arg](const char* name) {
      return arg.rfind(name, 0) == 0 ? arg.substr(std::strlen(name)) : std::string();
    };
    if (arg == "--quick") {
      *quick = true;
    } else if (!value("--wine=").empty()) {
      Chains.wine = value("--wine=");
    } else if (!value("--scheduled=").empty()) {
      Chains.scheduled = value("--scheduled=");
    } else if (!value("--plain=").empty()) {
      Chains.plain = value("--plain=");
    } else if (!value("--pictures=").empty()) {
      Chains.pictures = value("--pictures=");
    } else {
      std::fprintf(stderr,
                   "usage: %s [--quick] [--wine=RUNNER --scheduled=EXE --plain=EXE "
                   "--pictures=DIR]\n",
                   argv[0]);
      return false;
    }
  }
  return true;
}

// Wine's server stays tied to the display it started on: the run gets one on its own server.
void StopWine() {
  if (Chains.wine.empty()) return;
  const std::string command = "'" + Chains.wine + "' --stop";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "note: %s failed\n", command.c_str());
}

using Clock = std::chrono::steady_clock;

struct Chain {
  int32_t level = 0;
  int32_t interval = 0;
  bool scheduled = false;
  PlayFolder folder;
  ChildProcess process;
  Clock::time_point started;
  double firstFrame = -1;      // ms since registration when the first frame was done
  std::vector<double> rearms;  // ms since registration
  std::string error;
};

struct Pace {
  double firstTick = 0;  // ms from registration to the first tick
  double mean = 0;       // ms per tick over the whole chain
  double p99 = 0;
  double shortest = 0;
  double longest = 0;
};

const char* ModeName(bool scheduled) {
  return scheduled ? "schedule" : "plain re-arm";
}

bool StartChain(Chain* chain, const std::string& display, int ticks) {
  if (!chain->folder.Create()) {
    chain->error = chain->folder.error();
    return false;
  }
  // Without the pictures the strips go untextured: the pace is still measured, just with a
  // lighter frame than the game's.
  if (!chain->folder.CopyPictures(Chains.pictures)) {
    std::fprintf(stderr, "note: %s; the chain runs without pictures\n",
                 chain->folder.error().c_str());
  }
  const std::string& program = chain->scheduled ? Chains.scheduled : Chains.plain;
  std::vector<std::string> launcher;
  if (!Chains.wine.empty()) launcher.push_back(Chains.wine);
  if (!chain->process.Start(GameCommand(program, chain->folder.path(), display, {}, launcher))) {
    chain->error = chain->process.error();
    return false;
  }
  chain->started = Clock::now();
  chain->process.WriteInputAndClose(std::to_string(chain->level) + " " + std::to_string(ticks) +
                                    "\n");
  // One start at a time, so that the window, the GL context and the first frame of one chain
  // don't land on the first tick of the next.
  if (!chain->process.WaitForOutput("first tick", 30000)) {
    chain->error = "no first tick within 30 s; output:\n" + chain->process.Output();
    return false;
  }
  return true;
}

bool FinishChain(Chain* chain, int ticks) {
  const auto budget =
      std::chrono::milliseconds(static_cast<int64_t>(ticks) * chain->interval * 2 + 60000);
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(chain->started + budget - Clock::now());
  if (!chain->process.WaitForExit(static_cast<int>(std::max<int64_t>(left.count(), 1)))) {
    chain->process.Kill();
    chain->error = "did not finish its ticks in time";
    return false;
  }
  if (!chain->process.exited() || chain->process.exitCode() != 0) {
    chain->error = chain->process.exited()
                       ? "exited with " + std::to_string(chain->process.exitCode())
                       : "killed by signal " + std::to_string(chain->process.signal());
    chain->error += "; output:\n" + chain->process.Output();
    return false;
  }
  std::string text;
  if (!chain->folder.ReadFile("pace.txt", &text)) {
    chain->error = "wrote no pace.txt";
    return false;
  }
  std::istringstream in(text);
  in >> chain->firstFrame;
  for (double ms; in >> ms;) chain->rearms.push_back(ms);
  if (chain->rearms.size() != static_cast<size_t>(ticks) + 1) {
    chain->error = "pace.txt holds " + std::to_string(chain->rearms.size()) + " times, not " +
                   std::to_string(ticks + 1);
    return false;
  }
  return true;
}

Pace Measure(const std::vector<double>& rearms) {
  std::vector<double> periods;
  for (size_t i = 1; i < rearms.size(); ++i) periods.push_back(rearms[i] - rearms[i - 1]);
  Pace pace;
  pace.firstTick = rearms.front();
  pace.mean = (rearms.back() - rearms.front()) / static_cast<double>(periods.size());
  pace.p99 = Samples(periods).Percentile(0.99);
  pace.shortest = *std::min_element(periods.begin(), periods.end());
  pace.longest = *std::max_element(periods.begin(), periods.end());
  return pace;
}

// freeglut's clock counts whole milliseconds, so a timer registered late in one may fire up to
// 1 ms early by a finer clock; more than 2 ms late is the loop's own lateness.
bool FirstTickOnTime(double firstTick, double firstFrame) {
  const double due = std::max(33.0, firstFrame);
  return firstTick >= 32.0 && firstTick <= due + 2.0;
}

void PrintPace(const Chain& chain, const Pace& pace) {
  std::printf(
      "level %d (%d ms), %-12s  first frame done %7.2f ms  first tick %7.2f ms  mean %8.3f ms  p99 "
      "%8.3f ms  "
      "shortest %8.3f ms  longest %8.3f ms\n",
      chain.level, chain.interval, ModeName(chain.scheduled), chain.firstFrame, pace.firstTick,
      pace.mean, pace.p99, pace.shortest, pace.longest);
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  if (!TakeArguments(argc, argv, &quick)) return 2;
  const int ticks = quick ? 100 : 1000;

  XvfbServer server;
  if (!server.Start()) {
    std::fprintf(stderr, "tick_pace_bench needs Xvfb: %s\n", server.error().c_str());
    return 1;
  }

  // The slowest level first: the others run while it does.
  std::vector<std::unique_ptr<Chain>> chains;
  for (int32_t level : {1, 5, 8}) {
    for (bool scheduled : {true, false}) {
      auto chain = std::make_unique<Chain>();
      chain->level = level;
      chain->interval = TickIntervalForLevel(level);
      chain->scheduled = scheduled;
      chains.push_back(std::move(chain));
    }
  }
  std::printf("tick pace%s: %d ticks per chain, %zu chains side by side on %s\n",
              Chains.wine.empty() ? "" : " under Wine", ticks, chains.size(),
              server.display().c_str());
  std::fflush(stdout);

  StopWine();
  bool failed = false;
  for (auto& chain : chains) {
    if (!StartChain(chain.get(), server.display(), ticks)) failed = true;
  }
  for (auto& chain : chains) {
    if (chain->error.empty() && !FinishChain(chain.get(), ticks)) failed = true;
    if (!chain->error.empty()) {
      std::fprintf(stderr, "level %d, %s: %s\n", chain->level, ModeName(chain->scheduled),
                   chain->error.c_str());
    }
  }
  StopWine();
  server.Stop();

  bool tableOk = true;
  // The first tick is due 33 ms after registration, but the loop can't run it while the first
  // frame is still being drawn; then it is on time if it runs right after that frame.
  double latestFirst = 0, latestFrame = 0;
  bool firstOnTime = true;
  for (size_t i = 0; i + 1 < chains.size(); i += 2) {
    const Chain& ours = *chains[i];
    const Chain& plain = *chains[i + 1];
    if (!ours.error.empty() || !plain.error.empty()) continue;
    const Pace mine = Measure(ours.rearms);
    const Pace theirs = Measure(plain.rearms);
    PrintPace(ours, mine);
    PrintPace(plain, theirs);
    if (mine.firstTick > latestFirst) {
      latestFirst = mine.firstTick;
      latestFrame = ours.firstFrame;
    }
    firstOnTime &= FirstTickOnTime(mine.firstTick, ours.firstFrame);

    const double interval = ours.interval;
    const std::string level =
        std::string(Chains.wine.empty() ? "tick pace" : "tick pace under Wine") + ", level " +
        std::to_string(ours.level);
    tableOk &= AddTableRow({level + ", mean period", FormatMilliseconds(mine.mean / 1e3, 3),
                            FormatMilliseconds(theirs.mean / 1e3, 3) + " (plain re-arm)",
                            FormatRatio(mine.mean, theirs.mean),
                            "within 0.5 % of " + std::to_string(ours.interval) + " ms",
                            Verdict(std::fabs(mine.mean - interval) <= 0.005 * interval)});
    tableOk &= AddTableRow({level + ", p99 period", FormatMilliseconds(mine.p99 / 1e3, 3),
                            FormatMilliseconds(theirs.p99 / 1e3, 3) + " (plain re-arm)",
                            FormatRatio(mine.p99, theirs.p99), "no worse than the plain re-arm",
                            Verdict(mine.p99 <= theirs.p99)});
  }
  if (!failed) {
    tableOk &= AddTableRow(
        {std::string(Chains.wine.empty() ? "tick pace" : "tick pace under Wine") +
             ", first tick after registration",
         FormatMilliseconds(latestFirst / 1e3, 2) + " (latest of 3 levels)",
         "33 ms (first frame done at " + FormatMilliseconds(latestFrame / 1e3, 2) + ")",
         FormatRatio(latestFirst, 33.0), "33 ms, or within 2 ms of a first frame that ends later",
         Verdict(firstOnTime)});
  }
  return failed || !tableOk ? 1 : 0;
}
