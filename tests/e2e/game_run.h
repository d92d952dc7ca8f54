// One end-to-end run: the real game in a play folder of its own, with or without pictures or a
// score file already there, and the probes the scenarios read its frames with.
#pragma once

#include <string>
#include <vector>

#include "game_window_test.h"

enum class Pictures { Present, Absent };

class GameRunTest : public GameWindowTest {
 protected:
  // Starts the game with levelInput on its standard input, finds the window and focuses it.
  // existingScore, when given, is put in the play folder as "User_score.txt" first. Adds a
  // failure and returns false when any step fails.
  bool Launch(const std::string& levelInput, Pictures pictures = Pictures::Present,
              const std::string* existingScore = nullptr,
              ChildProcess::Sink console = ChildProcess::Sink::Keep);
};

// The serpent's squares in a frame.
inline std::vector<Square> Segments(const Frame& frame) {
  return FindSquares(frame, SquareKind::Segment);
}

// A square on the start row y 100 at or right of x: the serpent has come that far heading right.
bool ReachedOnStartRow(const Frame& frame, double x);
