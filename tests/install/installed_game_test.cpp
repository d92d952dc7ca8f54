// The installed launcher and game together, as the menu entry starts them: a private Xvfb, a
// made-up home, level 8 typed in, and the serpent left to run into the right wall on its own.
// The upgrade case installs under that home's ~/.local twice, with the player's own files in the
// play folder in between.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "expected_output.h"
#include "game_process.h"
#include "install_support.h"
#include "play_folder.h"
#include "x_session.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kWindowTitle = "Velmorak Revir - Brevane software organisation";
// Generous: they only matter when something is broken, and sanitizer builds are slow.
constexpr int kStartTimeoutMs = 20000;
constexpr int kPlayTimeoutMs = 15000;

struct GameCase {
  const char* name;
  bool dataHome;  // XDG_DATA_HOME names a folder; otherwise it is empty and HOME decides
  bool ownSky;    // the play folder already holds a sky.bmp of the player's
  bool upgrade;   // installed under $HOME/.local, then the player's files, then installed again
};

std::ostream& operator<<(std::ostream& out, const GameCase& c) {
  return out << c.name;
}

const GameCase kCases[] = {
    {"FreshHome", false, false, false},
    {"DataHome", true, false, false},
    {"PlayersOwnSky", false, true, false},
    {"UpgradeKeepsThePlayersFiles", false, true, true},
};

PlayFolder* stage = nullptr;

class InstalledGame : public ::testing::TestWithParam<GameCase> {
 protected:
  static void SetUpTestSuite() {
    stage = new PlayFolder;
    ASSERT_TRUE(stage->Create()) << stage->error();
    ASSERT_TRUE(InstallBuild("/usr", stage->path()));
  }
  static void TearDownTestSuite() {
    delete stage;
    stage = nullptr;
  }

  void TearDown() override {
    if (HasFailure())
      std::cerr << "---- game output ----\n" << game_.Output() << "\n---- end ----\n";
    game_.Kill();
    // Our connection goes before its server does: Xlib ends the process on a lost connection.
    x_.Close();
    server_.Stop();
  }

  // The file's bytes once they equal expected, or whatever it holds when the wait runs out.
  static std::string WaitForFile(const std::string& path, const std::string& expected) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
    std::string bytes = ReadWholeFile(path);
    while (bytes != expected && std::chrono::steady_clock::now() < deadline) {
      usleep(5000);
      bytes = ReadWholeFile(path);
    }
    return bytes;
  }

  XvfbServer server_;
  XSession x_;
  GameProcess game_;
};

TEST_P(InstalledGame, PlaysToTheWallAndKeepsTheRecordInThePlayFolder) {
  const GameCase& c = GetParam();
  if (stage == nullptr || stage->path().empty()) GTEST_SKIP() << "no staged install";

  PlayFolder scratch;
  ASSERT_TRUE(scratch.Create()) << scratch.error();
  const std::string home = scratch.path() + "/home of a player";
  const std::string data = scratch.path() + "/data home";
  fs::create_directories(home);
  const std::string play = c.dataHome ? data + "/velmorak" : home + "/.local/share/velmorak";
  // Where the game, its launcher and its default pictures are.
  const std::string prefix = c.upgrade ? home + "/.local" : stage->path() + "/usr";
  const std::vector<std::string> installEnv{"HOME=" + home, "XDG_DATA_HOME"};
  if (c.upgrade) {
    ASSERT_TRUE(InstallBuild(prefix, "", installEnv));
  }
  const std::string defaultSky = ReadWholeFile(prefix + "/share/games/velmorak/sky.bmp");
  const std::string defaultBackground =
      ReadWholeFile(prefix + "/share/games/velmorak/background.bmp");

  // Real pictures, but not the defaults in their places, so a copy over either would show.
  const std::string ownSky = defaultBackground;
  const std::string ownBackground = defaultSky;
  const std::string oldScore = ScoreRecord(17, 3);
  if (c.ownSky) {
    fs::create_directories(play);
    ASSERT_TRUE(WriteWholeFile(play + "/sky.bmp", ownSky));
  }
  if (c.upgrade) {
    ASSERT_TRUE(WriteWholeFile(play + "/background.bmp", ownBackground));
    ASSERT_TRUE(WriteWholeFile(play + "/User_score.txt", oldScore));
    ASSERT_TRUE(InstallBuild(prefix, "", installEnv));
    EXPECT_TRUE(ReadWholeFile(play + "/sky.bmp") == ownSky) << "the upgrade replaced sky.bmp";
    EXPECT_TRUE(ReadWholeFile(play + "/background.bmp") == ownBackground)
        << "the upgrade replaced background.bmp";
    EXPECT_EQ(ReadWholeFile(play + "/User_score.txt"), oldScore);
  }

  // Xvfb has no GPU: Mesa's llvmpipe outright. In a sanitizer build the toolkit's exit leaves
  // Mesa's blocks behind, which LeakSanitizer would turn into a failing status.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string asanOptions = asan != nullptr && *asan != '\0' ? std::string(asan) + ":" : "";
  std::vector<std::string> env{"HOME=" + home,
                               "XDG_DATA_HOME=" + (c.dataHome ? data : std::string()),
                               "LIBGL_ALWAYS_SOFTWARE=1", "GALLIUM_DRIVER=llvmpipe",
                               "ASAN_OPTIONS=" + asanOptions + "detect_leaks=0"};

  ASSERT_TRUE(server_.Start(1024, 768)) << server_.error();
  ASSERT_TRUE(x_.Open(server_.display())) << x_.error();
  // Started from a folder that is not the play folder, as a desktop would.
  ASSERT_TRUE(game_.Start(prefix + "/bin/velmorak-launch", scratch.path(), server_.display(), env))
      << game_.error();
  game_.WriteInputAndClose("8\n");
  Window window = x_.WaitForWindow(kWindowTitle, kStartTimeoutMs);
  ASSERT_NE(window, None) << "no window; output so far:\n" << game_.Output();

  ASSERT_TRUE(game_.WaitForOutput(ScoreReport(1), kPlayTimeoutMs)) << game_.Output();
  EXPECT_EQ(WaitForFile(play + "/User_score.txt", ScoreRecord(1, 8)), ScoreRecord(1, 8));
  EXPECT_EQ(game_.Output(), StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1));

  x_.RequestClose(window);
  ASSERT_TRUE(game_.WaitForExit(kPlayTimeoutMs)) << "the game did not end after the close";
  EXPECT_TRUE(game_.exited()) << "ended by signal " << game_.signal();
  EXPECT_EQ(game_.exitCode(), 0);

  EXPECT_TRUE(ReadWholeFile(play + "/sky.bmp") == (c.ownSky ? ownSky : defaultSky))
      << "sky.bmp in the play folder is not the one expected";
  EXPECT_TRUE(ReadWholeFile(play + "/background.bmp") ==
              (c.upgrade ? ownBackground : defaultBackground))
      << "background.bmp in the play folder is not the one expected";
  EXPECT_FALSE(fs::exists(scratch.path() + "/User_score.txt")) << "written where it was started";
}

INSTANTIATE_TEST_SUITE_P(Installed, InstalledGame, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
