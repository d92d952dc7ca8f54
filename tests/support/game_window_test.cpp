// Starting the game in its window and tearing each run down; every wait here is bounded.
#include "game_window_test.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "expected_output.h"
#include "png_file.h"

DriverConfig& Config() {
  static DriverConfig config;
  return config;
}

std::string Lines(const std::string& text) {
  return WithLineEnd(text, UnderWine() ? "\r\n" : "\n");
}

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

namespace {

// The one server of the test program, and why it isn't there when it couldn't be started.
struct SharedDisplay {
  XSession session;
  bool tried = false;
  std::string error;
};

SharedDisplay& Shared() {
  static SharedDisplay shared;
  return shared;
}

std::vector<std::string> GameEnvironment() {
  // Mesa names the GL errors it raises; sanitizers say where.
  std::vector<std::string> entries{"MESA_DEBUG=1", "UBSAN_OPTIONS=print_stacktrace=1"};
  // freeglut leaves through exit() with Mesa's own blocks still held, so LeakSanitizer can't
  // tell the game's leaks from Mesa's in the game process; every other sanitizer check stays on.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string options = asan != nullptr && *asan != '\0' ? std::string(asan) + ":" : "";
  entries.push_back("ASAN_OPTIONS=" + options + "detect_leaks=0");
  return entries;
}

// Ends the Wine prefix's server and its background programs. Wine stays tied to the X display
// its server started on, and its end takes the game with it, and any of its programs that may
// hold the game's output.
void StopWine() {
  if (UnderWine()) RunCommand({Config().wine, "--stop"}, EnvironmentWith({}), "/");
}

}  // namespace

XSession& GameWindowTest::x() {
  SharedDisplay& shared = Shared();
  if (!shared.tried) {
    shared.tried = true;
    const Screen screen = ScreenSize();
    if (!shared.session.Start(screen.width, screen.height)) shared.error = shared.session.error();
  }
  return shared.session;
}

PlayFolder& GameWindowTest::NewFolder(bool withPictures) {
  folder_ = std::make_unique<PlayFolder>();
  EXPECT_TRUE(folder_->Create()) << folder_->error();
  if (withPictures) {
    EXPECT_TRUE(folder_->CopyPictures(Config().pictures)) << folder_->error();
  }
  return *folder_;
}

bool GameWindowTest::Start(const LaunchOptions& options) {
  const std::string program = options.program.empty() ? Config().game : options.program;
  if (program.empty()) {
    ADD_FAILURE() << "no --game=<velmorak binary> given to the driver";
    return false;
  }
  failedBeforeRun_ = HasFailure();
  XSession& session = x();
  if (!Shared().error.empty()) {
    ADD_FAILURE() << Shared().error;
    return false;
  }
  if (!folder_ && options.workDir.empty()) NewFolder();
  const bool dropRoot = options.unprivileged && RunningAsRoot();
  if (dropRoot && chown(folder_->path().c_str(), kNobody, kNobody) != 0) {
    ADD_FAILURE() << "cannot hand " << folder_->path() << " to user " << kNobody;
    return false;
  }
  std::vector<std::string> environment = GameEnvironment();
  environment.insert(environment.end(), options.environment.begin(), options.environment.end());
  std::vector<std::string> launcher;
  if (UnderWine()) launcher.push_back(Config().wine);
  ChildProcess::Command command =
      GameCommand(program, options.workDir.empty() ? folder_->path() : options.workDir,
                  session.display(), environment, launcher);
  std::vector<std::string> front;
  if (dropRoot) {
    front = {"setpriv", "--reuid=" + std::to_string(kNobody), "--regid=" + std::to_string(kNobody),
             "--clear-groups"};
  }
  front.insert(front.end(), options.wrapper.begin(), options.wrapper.end());
  command.argv.insert(command.argv.begin(), front.begin(), front.end());
  command.input = options.closeInput ? ChildProcess::Source::Closed : ChildProcess::Source::Pipe;
  command.output = options.console;
  command.errors = ChildProcess::Sink::Keep;

  StopWine();
  session.ForgetBells();
  started_ = true;
  if (!game_.Start(command)) {
    ADD_FAILURE() << game_.error();
    return false;
  }
  game_.WriteInputAndClose(options.levelInput);
  window_ = session.WaitForWindow(kWindowTitle, options.startTimeoutMs);
  if (window_ == None) {
    std::string state = game_.Running()  ? "still running"
                        : game_.exited() ? "exited with " + std::to_string(game_.exitCode())
                                         : "killed by signal " + std::to_string(game_.signal());
    ADD_FAILURE() << "no viewable window titled \"" << kWindowTitle << "\" within "
                  << options.startTimeoutMs << " ms; the game is " << state << "; output so far:\n"
                  << game_.Output() << "\nstandard error:\n"
                  << Stderr();
    return false;
  }
  session.Focus(window_);
  return true;
}

bool GameWindowTest::WaitForFrame(const std::function<bool(const Frame&)>& done, int timeoutMs,
                                  Frame* frame) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    *frame = Grab();
    if (!frame->empty() && done(*frame)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(2000);
  }
}

bool GameWindowTest::WaitForStateText(StateText text, Frame* frame, int timeoutMs) {
  return WaitForFrame([text](const Frame& f) { return FindStateText(f) == text; }, timeoutMs,
                      frame);
}

bool GameWindowTest::WaitForGameOver(int score, Frame* frame, int timeoutMs) {
  if (!game_.WaitForOutput(Lines(ScoreReport(score)), timeoutMs)) {
    ADD_FAILURE() << "no score report for " << score << "; output:\n" << game_.Output();
    return false;
  }
  if (!WaitForStateText(StateText::GameOver, frame, timeoutMs)) {
    ADD_FAILURE() << "no \"Game Over!\" in the frame";
    SaveFrame(*frame, "no_game_over");
    return false;
  }
  return true;
}

int GameWindowTest::SettledBells(int expected) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
  while (x().Bells() < expected && std::chrono::steady_clock::now() < deadline) usleep(5000);
  // The bells of one tick leave the game back to back; anything more would be here by now.
  usleep(300000);
  return x().Bells();
}

void GameWindowTest::ExpectCleanStderr() {
  const std::string text = Stderr();
  for (const char* mark : {"Sanitizer", "runtime error:", "Mesa: User error"}) {
    EXPECT_EQ(text.find(mark), std::string::npos) << "standard error holds \"" << mark << "\":\n"
                                                  << text;
  }
}

void GameWindowTest::CloseAndExpectCleanExit(int timeoutMs) {
  const std::string before = game_.Output();
  EXPECT_TRUE(game_.Running()) << "the game ended before its window was closed";
  x().RequestClose(window_);
  if (!game_.WaitForExit(timeoutMs)) {
    ADD_FAILURE() << "the game did not end within " << timeoutMs << " ms of the close";
    return;
  }
  EXPECT_TRUE(game_.exited()) << "ended by signal " << game_.signal();
  EXPECT_EQ(game_.exitCode(), 0);
  EXPECT_EQ(game_.Output(), before) << "printed after the close";
}

void GameWindowTest::EndRun() {
  if (started_) {
    StopWine();
    game_.Kill();
    // The server drops a dead client's window on its own time; the next run must not find it.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (x().WaitForWindow(kWindowTitle, 0) != None &&
           std::chrono::steady_clock::now() < deadline) {
    }
  }
  // Only the run that failed: the corpus plays many games in one test.
  if (HasFailure() && !failedBeforeRun_ && started_) {
    std::cerr << "---- game output ----\n"
              << game_.Output() << "\n---- standard error ----\n"
              << Stderr() << "\n---- end ----\n";
  }
  folder_.reset();
  started_ = false;
  window_ = None;
}

void GameWindowTest::SaveFrame(const Frame& frame, const std::string& what) {
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

std::string GameWindowTest::ScoreFile() const {
  std::string bytes;
  return folder_ && folder_->ReadFile("User_score.txt", &bytes) ? bytes : "<missing>";
}
