// The base of every scenario that plays the real game in its window: the end-to-end scenarios,
// the hardening runs and the installed game. One private X server per test program, the game
// started the ways the scenarios need, and the bounded waits they are built from.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "frame.h"
#include "game_launch.h"
#include "x_session.h"

// Where the test programs find what they test and leave what they grab, filled in from their
// command line (driver_main.cpp). Each program is given only what it uses.
struct DriverConfig {
  std::string game;      // --game: the velmorak binary under test
  std::string pictures;  // --pictures: the build's play folder, holding the default pictures
  std::string frames;    // --frames: where grabbed frames are saved; may be empty
  // --wine: set for a Windows game, the program that runs it under Wine in the build's prefix
  // (scripts/wine.sh). The game's texts then end their lines in CRLF, and Wine places the
  // window's outer frame where the game asks, so its client area stands elsewhere.
  std::string wine;
  std::string corpus;        // --corpus: the bmpsuite folder; may be missing on a fresh clone
  std::string valgrind;      // --valgrind: empty unless the memcheck run is registered
  std::string suppressions;  // --suppressions: valgrind's, for the libraries' own noise
  std::string sourceRoot;    // --source-root: the game's src/, to tell its stack frames apart
  std::string cmake;         // --cmake: the cmake that configured the build
  std::string build;         // --build: the build tree to install from
  std::string setup;         // --setup: the Windows installer, run under --wine
};
DriverConfig& Config();

// Generous bounds: they only matter when something is broken, and sanitizer builds are slow.
constexpr int kStartTimeoutMs = 20000;
constexpr int kPlayTimeoutMs = 15000;

// The player's unprivileged account, used when the tests run as root (root ignores the
// permission bits that the score-file cases depend on).
constexpr unsigned kNobody = 65534;
bool RunningAsRoot();
// True when the tests can play as kNobody; otherwise *why says what is missing.
bool CanPlayAsNobody(std::string* why);

inline bool UnderWine() {
  return !Config().wine.empty();
}
// The scenarios' texts as the game under test writes them: with CRLF line ends under Wine.
std::string Lines(const std::string& text);

struct LaunchOptions {
  std::string levelInput = "8\n";
  bool closeInput = false;  // the game starts with file descriptor 0 closed
  // ReaderGone: the console's reader is gone before the game writes its first byte.
  ChildProcess::Sink console = ChildProcess::Sink::Keep;
  bool unprivileged = false;             // as kNobody, when running as root
  std::vector<std::string> wrapper;      // a program and its options put in front of the game
  std::string program;                   // empty: the game under test (--game)
  std::string workDir;                   // empty: the play folder
  std::vector<std::string> environment;  // more entries ("NAME=value") for the game's
  int startTimeoutMs = kStartTimeoutMs;
};

class GameWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { EndRun(); }

  struct Screen {
    int width, height;
  };
  // The screen of the X server that every test of the program shares; the first to play starts
  // it. Starting Xvfb costs about as much as a whole game at level 8.
  virtual Screen ScreenSize() const { return {1024, 768}; }
  XSession& x();

  // A fresh play folder, with the build's pictures unless told otherwise; it replaces the last.
  PlayFolder& NewFolder(bool withPictures = true);
  PlayFolder& folder() { return *folder_; }

  // Starts the game (in a new play folder with pictures, unless there is one or another folder
  // is given), waits for its window and focuses it. Adds a failure and returns false when any
  // step fails.
  bool Start(const LaunchOptions& options);
  ChildProcess& game() { return game_; }

  Frame Grab() { return x().Grab(window_); }
  void Tap(unsigned long keysym) { x().Tap(keysym); }
  // Grabs until done(frame) holds; *frame keeps the last grab. False after timeoutMs.
  bool WaitForFrame(const std::function<bool(const Frame&)>& done, int timeoutMs, Frame* frame);
  bool WaitForStateText(StateText text, Frame* frame, int timeoutMs = kPlayTimeoutMs);
  // The console's score report for score, then "Game Over!" in the frame.
  bool WaitForGameOver(int score, Frame* frame, int timeoutMs = kPlayTimeoutMs);
  // Waits until at least expected bells have rung, then a little longer so that surplus bells
  // show too; returns the count.
  int SettledBells(int expected);

  // What the game wrote to standard error, where sanitizers and Mesa report.
  std::string Stderr() const { return game_.Errors(); }
  // No sanitizer report and no GL error: Mesa names every GL error it raises on standard error
  // when MESA_DEBUG is set, which is the only way to see them from outside the game.
  void ExpectCleanStderr();
  // Closes the window the way a window manager does and expects a clean exit with nothing
  // printed after the close.
  void CloseAndExpectCleanExit(int timeoutMs = kPlayTimeoutMs);
  // Kills a game still running and waits until its window has left the shared server.
  void EndRun();

  void SaveFrame(const Frame& frame, const std::string& what);
  // The score file's bytes, or "<missing>".
  std::string ScoreFile() const;

  Window window_ = None;

 private:
  std::unique_ptr<PlayFolder> folder_;
  ChildProcess game_;
  bool started_ = false;
  bool failedBeforeRun_ = false;
};
