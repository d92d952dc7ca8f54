// One end-to-end run: a private X server, a private play folder, the real game with its window,
// and the bounded waits the scenarios are built from.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frame.h"
#include "game_process.h"
#include "play_folder.h"
#include "x_session.h"
#include "xvfb_server.h"

// Where the driver finds the game and its pictures, and where it leaves the frames it grabbed;
// filled in from the command line.
struct E2eConfig {
  std::string game;
  std::string pictures;
  std::string frames;
  // Set for a Windows game: the program that runs it under Wine in the build's prefix
  // (scripts/wine.sh). The game's texts then end their lines in CRLF, and Wine places the
  // window's outer frame where the game asks, so its client area stands elsewhere.
  std::string wine;
};
E2eConfig& Config();

// The scenarios' texts as the game under test writes them: with CRLF line ends under Wine.
std::string Lines(const std::string& text);
inline bool UnderWine() {
  return !Config().wine.empty();
}

enum class Pictures { Present, Absent };

constexpr const char* kWindowTitle = "Velmorak Revir - Brevane software organisation";

// Generous bounds: they only matter when something is broken, and sanitizer builds are slow.
constexpr int kStartTimeoutMs = 20000;
constexpr int kPlayTimeoutMs = 15000;

class GameRunTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Starts the server, the game with levelInput on its standard input, finds the window and
  // focuses it. existingScore, when given, is put in the play folder as "User_score.txt" first.
  // Adds a failure and returns false when any step fails.
  bool Launch(const std::string& levelInput, Pictures pictures = Pictures::Present,
              const std::string* existingScore = nullptr,
              GameProcess::Console console = GameProcess::Console::Read);

  Frame Grab() { return x_.Grab(window_); }
  // Grabs until done(frame) holds; *frame keeps the last grab. False after timeoutMs.
  bool WaitForFrame(const std::function<bool(const Frame&)>& done, int timeoutMs, Frame* frame);
  bool WaitForStateText(StateText text, Frame* frame);
  void Tap(unsigned long keysym) { x_.Tap(keysym); }
  void SaveFrame(const Frame& frame, const std::string& what);

  // The score file's bytes, or "<missing>".
  std::string ScoreFile() const;
  // Waits until at least expected bells have rung, then a little longer so that surplus bells
  // show too; returns the count.
  int SettledBells(int expected);

  XvfbServer server_;
  XSession x_;
  PlayFolder folder_;
  GameProcess game_;
  Window window_ = None;
};

// The serpent's squares in a frame.
inline std::vector<Square> Segments(const Frame& frame) {
  return FindSquares(frame, SquareKind::Segment);
}

// A square on the start row y 100 at or right of x: the serpent has come that far heading right.
bool ReachedOnStartRow(const Frame& frame, double x);
