// The real game started the hostile ways: with its standard input closed, as an unprivileged
// player, behind valgrind. Every run shares one private X server per test process, and ends
// with the same checks on how the game behaved.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame.h"
#include "game_process.h"
#include "play_folder.h"
#include "x_session.h"

// Filled in from the command line by the test's main.
struct HardeningConfig {
  std::string game;          // the velmorak binary under test
  std::string pictures;      // the build's play folder, holding the default pictures
  std::string frames;        // where frames of failed checks are saved; may be empty
  std::string corpus;        // the bmpsuite folder; may be missing on a fresh clone
  std::string valgrind;      // empty unless the memcheck run is registered
  std::string suppressions;  // valgrind suppressions for the libraries' own noise
  std::string sourceRoot;    // the game's src/, to tell its stack frames from the libraries'
};
HardeningConfig& Config();

// Generous bounds: they only matter when something is broken, and sanitizer builds are slow.
constexpr int kStartTimeoutMs = 20000;
constexpr int kPlayTimeoutMs = 15000;

// The player's unprivileged account, used when the tests run as root (root ignores the
// permission bits that the score-file cases depend on).
constexpr unsigned kNobody = 65534;

struct LaunchOptions {
  std::string levelInput = "8\n";
  bool closeInput = false;           // the game starts with file descriptor 0 closed
  bool unprivileged = false;         // as kNobody, when running as root
  std::vector<std::string> wrapper;  // a program and its options put in front of the game
  int startTimeoutMs = kStartTimeoutMs;
};

// True when the tests can play as kNobody; otherwise *why says what is missing.
bool CanPlayAsNobody(std::string* why);
bool RunningAsRoot();

class HardeningTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // A fresh play folder, with the build's pictures unless told otherwise; it replaces the last.
  PlayFolder& NewFolder(bool withPictures = true);
  PlayFolder& folder() { return *folder_; }

  // Starts the game in the current folder and waits for its window. Adds a failure and returns
  // false when any step fails.
  bool Start(const LaunchOptions& options);
  GameProcess& game() { return *game_; }

  Frame Grab();
  // Grabs until done(frame) holds; *frame keeps the last grab. False after timeoutMs.
  bool WaitForFrame(const std::function<bool(const Frame&)>& done, int timeoutMs, Frame* frame);
  // The console's score report for score, then "Game Over!" in the frame.
  bool WaitForGameOver(int score, Frame* frame, int timeoutMs = kPlayTimeoutMs);

  // What the game wrote to standard error, where sanitizers and Mesa report.
  std::string Stderr() const;
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
  XSession& x();

 private:
  bool WriteLauncher(const LaunchOptions& options, std::string* path);

  std::unique_ptr<PlayFolder> folder_;
  std::unique_ptr<PlayFolder> launcher_;
  std::unique_ptr<GameProcess> game_;
  bool failedBeforeRun_ = false;
};
