// Setting up and tearing down one end-to-end run; every wait here is bounded.
#include "game_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "expected_output.h"
#include "png_file.h"

E2eConfig& Config() {
  static E2eConfig config;
  return config;
}

std::string Lines(const std::string& text) {
  return WithLineEnd(text, UnderWine() ? "\r\n" : "\n");
}

namespace {

// Ends the Wine prefix's server and its background programs. Wine stays tied to the X display
// its server started on, and every scenario has a display of its own.
void StopWine() {
  if (!UnderWine()) return;
  pid_t pid = fork();
  if (pid == 0) {
    execl(Config().wine.c_str(), Config().wine.c_str(), "--stop", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
}

std::vector<std::string> GameEnvironment() {
  // Xvfb has no GPU: ask Mesa for llvmpipe outright rather than whatever it falls back to.
  std::vector<std::string> entries{"LIBGL_ALWAYS_SOFTWARE=1", "GALLIUM_DRIVER=llvmpipe"};
  // When the window closes freeglut exits with Mesa's software driver still holding its blocks;
  // in a sanitizer build LeakSanitizer reports them and turns the clean exit into status 1.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string options = asan != nullptr && *asan != '\0' ? std::string(asan) + ":" : "";
  entries.push_back("ASAN_OPTIONS=" + options + "detect_leaks=0");
  return entries;
}

}  // namespace

bool GameRunTest::Launch(const std::string& levelInput, Pictures pictures,
                         const std::string* existingScore, GameProcess::Console console) {
  if (Config().game.empty()) {
    ADD_FAILURE() << "no --game=<velmorak binary> given to the driver";
    return false;
  }
  if (!server_.Start(1024, 768)) {
    ADD_FAILURE() << server_.error();
    return false;
  }
  if (!x_.Open(server_.display())) {
    ADD_FAILURE() << x_.error();
    return false;
  }
  if (!folder_.Create() ||
      (pictures == Pictures::Present && !folder_.CopyPictures(Config().pictures))) {
    ADD_FAILURE() << folder_.error();
    return false;
  }
  if (existingScore != nullptr && !folder_.WriteFile("User_score.txt", *existingScore)) {
    ADD_FAILURE() << "cannot write User_score.txt in " << folder_.path();
    return false;
  }
  StopWine();
  std::vector<std::string> launcher;
  if (UnderWine()) launcher.push_back(Config().wine);
  if (!game_.Start(Config().game, folder_.path(), server_.display(), GameEnvironment(), launcher,
                   console)) {
    ADD_FAILURE() << game_.error();
    return false;
  }
  game_.WriteInputAndClose(levelInput);
  window_ = x_.WaitForWindow(kWindowTitle, kStartTimeoutMs);
  if (window_ == None) {
    std::string state = game_.Running()  ? "still running"
                        : game_.exited() ? "exited with " + std::to_string(game_.exitCode())
                                         : "killed by signal " + std::to_string(game_.signal());
    ADD_FAILURE() << "no viewable window titled \"" << kWindowTitle << "\" within "
                  << kStartTimeoutMs << " ms; the game is " << state << "; output so far:\n"
                  << game_.Output();
    return false;
  }
  x_.Focus(window_);
  return true;
}

void GameRunTest::TearDown() {
  if (HasFailure()) {
    std::cerr << "---- game output ----\n" << game_.Output() << "\n---- end ----\n";
  }
  // Wine's end takes the game with it, and any of its programs that may hold the game's output.
  StopWine();
  game_.Kill();
  // Our connection goes before its server does: Xlib ends the process on a lost connection.
  x_.Close();
  server_.Stop();
}

bool GameRunTest::WaitForFrame(const std::function<bool(const Frame&)>& done, int timeoutMs,
                               Frame* frame) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    *frame = Grab();
    if (!frame->empty() && done(*frame)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(2000);
  }
}

bool GameRunTest::WaitForStateText(StateText text, Frame* frame) {
  return WaitForFrame([text](const Frame& f) { return FindStateText(f) == text; }, kPlayTimeoutMs,
                      frame);
}

void GameRunTest::SaveFrame(const Frame& frame, const std::string& what) {
  if (Config().frames.empty() || frame.empty()) return;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string path =
      Config().frames + "/" + test->test_suite_name() + "_" + test->name() + "_" + what + ".png";
  if (!WritePng(path, frame.width, frame.height, frame.rgb)) {
    std::cerr << "could not write " << path << "\n";
  }
}

std::string GameRunTest::ScoreFile() const {
  std::string bytes;
  return folder_.ReadFile("User_score.txt", &bytes) ? bytes : "<missing>";
}

int GameRunTest::SettledBells(int expected) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
  while (x_.Bells() < expected && std::chrono::steady_clock::now() < deadline) usleep(5000);
  // The bells of one tick leave the game back to back; anything more would be here by now.
  usleep(300000);
  return x_.Bells();
}

bool ReachedOnStartRow(const Frame& frame, double x) {
  for (const Square& s : Segments(frame))
    if (s.x >= x - 1.0 && std::abs(s.y - 100.0) <= 1.0) return true;
  return false;
}
