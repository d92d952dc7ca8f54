// Setting up one end-to-end run.
#include "game_run.h"

#include <cmath>

bool GameRunTest::Launch(const std::string& levelInput, Pictures pictures,
                         const std::string* existingScore, ChildProcess::Sink console) {
  NewFolder(pictures == Pictures::Present);
  if (existingScore != nullptr && !folder().WriteFile("User_score.txt", *existingScore)) {
    ADD_FAILURE() << "cannot write User_score.txt in " << folder().path();
    return false;
  }
  LaunchOptions options;
  options.levelInput = levelInput;
  options.console = console;
  return !HasFailure() && Start(options);
}

bool ReachedOnStartRow(const Frame& frame, double x) {
  for (const Square& s : Segments(frame))
    if (s.x >= x - 1.0 && std::abs(s.y - 100.0) <= 1.0) return true;
  return false;
}
