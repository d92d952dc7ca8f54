// Launching the game the hostile ways and tearing each run down; every wait here is bounded.
#include "hardening_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "expected_output.h"
#include "png_file.h"
#include "xvfb_server.h"

HardeningConfig& Config() {
  static HardeningConfig config;
  return config;
}

namespace {

constexpr const char* kWindowTitle = "Velmorak Revir - Brevane software organisation";

// One server for every run of the process: starting Xvfb costs about as much as a whole game at
// level 8, and the corpus alone plays ninety. The screen is large enough for a window 4000
// pixels long at the game's position of (50, 50).
struct SharedDisplay {
  XvfbServer server;
  XSession session;  // declared after the server, so it is closed before the server goes
  bool tried = false;
  std::string error;
};

SharedDisplay& Shared() {
  static SharedDisplay shared;
  if (!shared.tried) {
    shared.tried = true;
    if (!shared.server.Start(4100, 4100)) {
      shared.error = shared.server.error();
    } else if (!shared.session.Open(shared.server.display())) {
      shared.error = shared.session.error();
    }
  }
  return shared;
}

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

// Single quotes keep every byte of a path literal in the launcher; a quote itself can't be.
bool Quote(const std::string& text, std::string* out) {
  if (text.find('\'') != std::string::npos) return false;
  *out += " '" + text + "'";
  return true;
}

std::vector<std::string> GameEnvironment() {
  // Xvfb has no GPU: ask Mesa for llvmpipe outright rather than whatever it falls back to.
  std::vector<std::string> entries{"LIBGL_ALWAYS_SOFTWARE=1", "GALLIUM_DRIVER=llvmpipe",
                                   "MESA_DEBUG=1"};
  // freeglut leaves through exit() with Mesa's own blocks still held, so LeakSanitizer can't
  // tell the game's leaks from Mesa's in the game process; every other sanitizer check stays on.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string options = asan != nullptr && *asan != '\0' ? std::string(asan) + ":" : "";
  entries.push_back("ASAN_OPTIONS=" + options + "detect_leaks=0");
  entries.push_back("UBSAN_OPTIONS=print_stacktrace=1");
  return entries;
}

}  // namespace

bool RunningAsRoot() {
  return geteuid() == 0;
}

bool CanPlayAsNobody(std::string* why) {
  if (!RunningAsRoot()) return true;  // the tests already play without root's privileges
  if (FindProgram("setpriv").empty()) {
    *why = "running as root and setpriv (util-linux) is not installed";
    return false;
  }
  return true;
}

XSession& HardeningTest::x() {
  return Shared().session;
}

void HardeningTest::TearDown() {
  EndRun();
}

PlayFolder& HardeningTest::NewFolder(bool withPictures) {
  folder_ = std::make_unique<PlayFolder>();
  EXPECT_TRUE(folder_->Create()) << folder_->error();
  if (withPictures) {
    EXPECT_TRUE(folder_->CopyPictures(Config().pictures)) << folder_->error();
  }
  return *folder_;
}

bool HardeningTest::WriteLauncher(const LaunchOptions& options, std::string* path) {
  std::string command = "exec";
  bool quoted = true;
  if (options.unprivileged && RunningAsRoot()) {
    command += " setpriv --reuid=" + std::to_string(kNobody) +
               " --regid=" + std::to_string(kNobody) + " --clear-groups";
  }
  for (const std::string& word : options.wrapper) quoted &= Quote(word, &command);
  quoted &= Quote(Config().game, &command);
  if (options.closeInput) command += " <&-";
  // The shell opens this before any privileges are dropped, so the game never needs to.
  command += " 2>";
  quoted &= Quote(launcher_->path() + "/stderr.txt", &command);
  if (!quoted) {
    ADD_FAILURE() << "a path holds a single quote: " << command;
    return false;
  }
  *path = launcher_->path() + "/launch.sh";
  if (!launcher_->WriteFile("launch.sh", "#!/bin/sh\n" + command + "\n") ||
      chmod(path->c_str(), 0700) != 0) {
    ADD_FAILURE() << "cannot write " << *path;
    return false;
  }
  return true;
}

bool HardeningTest::Start(const LaunchOptions& options) {
  if (Config().game.empty()) {
    ADD_FAILURE() << "no --game=<velmorak binary> given to the driver";
    return false;
  }
  failedBeforeRun_ = HasFailure();
  if (!Shared().error.empty()) {
    ADD_FAILURE() << Shared().error;
    return false;
  }
  if (!folder_) NewFolder();
  launcher_ = std::make_unique<PlayFolder>();
  std::string script;
  if (!launcher_->Create() || !WriteLauncher(options, &script)) {
    ADD_FAILURE() << launcher_->error();
    return false;
  }
  if (options.unprivileged && RunningAsRoot() &&
      chown(folder_->path().c_str(), kNobody, kNobody) != 0) {
    ADD_FAILURE() << "cannot hand " << folder_->path() << " to user " << kNobody;
    return false;
  }
  game_ = std::make_unique<GameProcess>();
  if (!game_->Start(script, folder_->path(), Shared().server.display(), GameEnvironment())) {
    ADD_FAILURE() << game_->error();
    return false;
  }
  if (options.closeInput) {
    game_->WriteInputAndClose("");  // the game has no copy of this pipe; only ours is left
  } else {
    game_->WriteInputAndClose(options.levelInput);
  }
  window_ = x().WaitForWindow(kWindowTitle, options.startTimeoutMs);
  if (window_ == None) {
    ADD_FAILURE() << "no viewable game window within " << options.startTimeoutMs
                  << " ms; output so far:\n"
                  << game_->Output() << "\nstandard error:\n"
                  << Stderr();
    return false;
  }
  x().Focus(window_);
  return true;
}

Frame HardeningTest::Grab() {
  return x().Grab(window_);
}

bool HardeningTest::WaitForFrame(const std::function<bool(const Frame&)>& done, int timeoutMs,
                                 Frame* frame) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    *frame = Grab();
    if (!frame->empty() && done(*frame)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(5000);
  }
}

bool HardeningTest::WaitForGameOver(int score, Frame* frame, int timeoutMs) {
  if (!game_->WaitForOutput(ScoreReport(score), timeoutMs)) {
    ADD_FAILURE() << "no score report for " << score << "; output:\n" << game_->Output();
    return false;
  }
  if (!WaitForFrame([](const Frame& f) { return FindStateText(f) == StateText::GameOver; },
                    timeoutMs, frame)) {
    ADD_FAILURE() << "no \"Game Over!\" in the frame";
    SaveFrame(*frame, "no_game_over");
    return false;
  }
  return true;
}

std::string HardeningTest::Stderr() const {
  std::string bytes;
  if (!launcher_ || !launcher_->ReadFile("stderr.txt", &bytes)) return "<missing>";
  return bytes;
}

void HardeningTest::ExpectCleanStderr() {
  const std::string text = Stderr();
  for (const char* mark : {"Sanitizer", "runtime error:", "Mesa: User error"}) {
    EXPECT_EQ(text.find(mark), std::string::npos) << "standard error holds \"" << mark << "\":\n"
                                                  << text;
  }
}

void HardeningTest::CloseAndExpectCleanExit(int timeoutMs) {
  const std::string before = game_->Output();
  EXPECT_TRUE(game_->Running()) << "the game ended before its window was closed";
  x().RequestClose(window_);
  if (!game_->WaitForExit(timeoutMs)) {
    ADD_FAILURE() << "the game did not end within " << timeoutMs << " ms of the close";
    return;
  }
  EXPECT_TRUE(game_->exited()) << "ended by signal " << game_->signal();
  EXPECT_EQ(game_->exitCode(), 0);
  EXPECT_EQ(game_->Output(), before) << "printed after the close";
}

void HardeningTest::EndRun() {
  if (game_) {
    game_->Kill();
    // The server drops a dead client's window on its own time; the next run must not find it.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (x().WaitForWindow(kWindowTitle, 0) != None &&
           std::chrono::steady_clock::now() < deadline) {
    }
  }
  // Only the run that failed: the corpus plays many games in one test.
  if (HasFailure() && !failedBeforeRun_ && game_) {
    std::cerr << "---- game output ----\n"
              << game_->Output() << "\n---- standard error ----\n"
              << Stderr() << "\n---- end ----\n";
  }
  // A folder the test made unwritable must still go when its run does.
  if (folder_) chmod(folder_->path().c_str(), 0700);
  game_.reset();
  folder_.reset();
  launcher_.reset();
  window_ = None;
}

void HardeningTest::SaveFrame(const Frame& frame, const std::string& what) {
  if (Config().frames.empty() || frame.empty()) return;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "_" + test->name() + "_" + what;
  for (char& c : name)
    if (c == '/') c = '_';
  std::string path = Config().frames + "/" + name + ".png";
  if (!WritePng(path, frame.width, frame.height, frame.rgb)) {
    std::cerr << "could not write " << path << "\n";
  }
}

std::string HardeningTest::ScoreFile() const {
  std::string bytes;
  return folder_ && folder_->ReadFile("User_score.txt", &bytes) ? bytes : "<missing>";
}
