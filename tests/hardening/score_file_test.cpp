// A score file the game can't write: the game still ends normally, says so nowhere, stays open
// until closed, and leaves what was there as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "expected_output.h"
#include "files.h"
#include "hardening_run.h"

namespace {

namespace fs = std::filesystem;

// Longer than any record the game writes, so a truncation or a partial write would show.
const std::string kOldRecord = "You score is : 117 at level 2\nkept by the player\n";

struct ScoreFileCase {
  const char* name;
  // Root writes through permission bits, so these cases play as an unprivileged user.
  bool needsPermissions;
  bool (*prepare)(const fs::path& folder);
  // What must be found in the folder after the game.
  void (*check)(const fs::path& folder);
};

std::ostream& operator<<(std::ostream& out, const ScoreFileCase& c) {
  return out << c.name;
}

const ScoreFileCase kCases[] = {
    {"ReadOnlyFile", true,
     [](const fs::path& folder) {
       fs::path record = folder / "User_score.txt";
       return WriteWholeFile(record, kOldRecord) && chmod(record.c_str(), 0444) == 0;
     },
     [](const fs::path& folder) {
       EXPECT_EQ(ReadWholeFile(folder / "User_score.txt"), kOldRecord);
     }},
    {"Directory", false,
     [](const fs::path& folder) {
       std::error_code error;
       return fs::create_directory(folder / "User_score.txt", error) &&
              WriteWholeFile(folder / "User_score.txt" / "kept.txt", kOldRecord);
     },
     [](const fs::path& folder) {
       EXPECT_TRUE(fs::is_directory(folder / "User_score.txt"));
       EXPECT_EQ(ReadWholeFile(folder / "User_score.txt" / "kept.txt"), kOldRecord);
     }},
    {"UnwritableFolder", true,
     [](const fs::path& folder) { return chmod(folder.c_str(), 0555) == 0; },
     [](const fs::path& folder) {
       std::error_code error;
       EXPECT_FALSE(fs::exists(folder / "User_score.txt", error));
     }},
    {"NamedPipeWithoutReader", false,
     [](const fs::path& folder) { return mkfifo((folder / "User_score.txt").c_str(), 0644) == 0; },
     [](const fs::path& folder) { EXPECT_TRUE(fs::is_fifo(folder / "User_score.txt")); }},
    {"FullDisk", false,
     [](const fs::path& folder) {
       return symlink("/dev/full", (folder / "User_score.txt").c_str()) == 0;
     },
     [](const fs::path& folder) {
       std::error_code error;
       EXPECT_EQ(fs::read_symlink(folder / "User_score.txt", error), "/dev/full");
     }},
};

class ScoreFile : public HardeningTest, public ::testing::WithParamInterface<ScoreFileCase> {};

TEST_P(ScoreFile, GameEndsNormallyAndKeepsWhatWasThere) {
  const ScoreFileCase& c = GetParam();
  std::string why;
  if (c.needsPermissions && !CanPlayAsNobody(&why)) GTEST_SKIP() << why;
  NewFolder();
  ASSERT_TRUE(c.prepare(folder().path())) << "cannot prepare " << folder().path();
  LaunchOptions options;
  options.unprivileged = c.needsPermissions;
  ASSERT_TRUE(Start(options));

  Frame over;
  ASSERT_TRUE(WaitForGameOver(1, &over));
  EXPECT_EQ(game().Output(), StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1));
  // The lost record ends nothing: the window stays, frozen on "Game Over!", until it is closed.
  usleep(300000);
  EXPECT_TRUE(game().Running());
  EXPECT_EQ(FindStateText(Grab()), StateText::GameOver);
  c.check(folder().path());

  CloseAndExpectCleanExit();
  ExpectCleanStderr();
  c.check(folder().path());
  std::cout << c.name << ": played as "
            << (c.needsPermissions && RunningAsRoot() ? "user 65534" : "the test's own user")
            << "\n";
}

INSTANTIATE_TEST_SUITE_P(Broken, ScoreFile, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ScoreFileCase>& info) {
                           return info.param.name;
                         });

}  // namespace
