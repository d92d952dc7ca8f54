// The installed launcher and game together, as the menu entry starts them: a private Xvfb, a
// made-up home, level 8 typed in, and the serpent left to run into the right wall on its own.
// The upgrade case installs under that home's ~/.local twice, with the player's own files in the
// play folder in between.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "expected_output.h"
#include "install_support.h"

namespace {

namespace fs = std::filesystem;

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

ScratchFolder* stage = nullptr;

class InstalledGame : public GameWindowTest, public ::testing::WithParamInterface<GameCase> {
 protected:
  static void SetUpTestSuite() {
    stage = new ScratchFolder;
    ASSERT_TRUE(stage->Create()) << stage->error();
    ASSERT_TRUE(InstallBuild("/usr", stage->path()));
  }
  static void TearDownTestSuite() {
    delete stage;
    stage = nullptr;
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
};

TEST_P(InstalledGame, PlaysToTheWallAndKeepsTheRecordInThePlayFolder) {
  const GameCase& c = GetParam();
  if (stage == nullptr || stage->path().empty()) GTEST_SKIP() << "no staged install";

  ScratchFolder scratch;
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

  LaunchOptions options;
  options.program = prefix + "/bin/velmorak-launch";
  // Started from a folder that is not the play folder, as a desktop would.
  options.workDir = scratch.path();
  options.environment = {"HOME=" + home, "XDG_DATA_HOME=" + (c.dataHome ? data : std::string())};
  ASSERT_TRUE(Start(options));

  ASSERT_TRUE(game().WaitForOutput(ScoreReport(1), kPlayTimeoutMs)) << game().Output();
  EXPECT_EQ(WaitForFile(play + "/User_score.txt", ScoreRecord(1, 8)), ScoreRecord(1, 8));
  EXPECT_EQ(game().Output(), StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1));
  CloseAndExpectCleanExit();

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
