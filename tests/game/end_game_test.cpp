// Game over: the console report, the score record file, the flags, and folders that refuse it.
#include <sys/stat.h>

#include "game_fixture.h"

namespace {

TEST_F(GameTest, EndGameReportsFreezesAndRecordsTheScoreAsItStands) {
  for (auto [count, level] : {std::pair{1, 0}, {12, 5}, {3, 12}, {7, -3}}) {
    FreshGame();
    GameState.segmentCount = count;
    GameState.level = level;
    GameState.direction = DirUp;
    EXPECT_EQ(Capture(EndGame), Report(count));
    EXPECT_EQ(ReadFile("User_score.txt"), "You score is : " + std::to_string(count) + " at level " +
                                              std::to_string(level) + "\n");
    EXPECT_EQ(Recorded.log, std::vector<std::string>{"beep"});
    EXPECT_EQ(GameState.paused + GameState.showGameOver + GameState.gameOver, 3);
    EXPECT_EQ(GameState.showPaused, 0);
    EXPECT_EQ(GameState.direction, DirUp);
    EXPECT_EQ(GameState.segmentCount, count);
    EXPECT_EQ(GameState.foodX, 125);
  }
}

TEST_F(GameTest, EveryCallHasTheFullEffectAndTheFileKeepsOneLine) {
  std::ofstream("User_score.txt") << "You score is : 123456 at level 8\nan older, longer record\n";
  GameState.segmentCount = 4;
  EXPECT_EQ(Capture([] {
              EndGame();
              EndGame();
            }),
            Report(4) + Report(4));
  EXPECT_EQ(Recorded.beeps, 2);
  EXPECT_EQ(ReadFile("User_score.txt"), "You score is : 4 at level 5\n");
}

// Each setup returns false when this user can't be refused that way (root ignores permissions).
struct RefusalCase {
  const char* name;
  bool (*arrange)();
  const char* oldContent;  // what the name must still hold afterwards; null: not checked
};

bool CanOpenForWriting(const char* path) {
  std::FILE* probe = std::fopen(path, "a");
  if (probe != nullptr) std::fclose(probe);
  return probe != nullptr;
}

const RefusalCase kRefusals[] = {
    {"directory_of_that_name", [] { return mkdir("User_score.txt", 0755) == 0; }, nullptr},
    {"read_only_file",
     [] {
       std::ofstream("User_score.txt") << "old\n";
       chmod("User_score.txt", 0444);
       return !CanOpenForWriting("User_score.txt");
     },
     "old\n"},
    {"read_only_folder",
     [] {
       chmod(".", 0555);
       const bool refused = !CanOpenForWriting("probe");
       std::remove("probe");
       return refused;
     },
     nullptr},
    // Nothing can be created in /proc, whoever asks.
    {"folder_that_takes_no_files",
     [] { return chdir("/proc/self") == 0 && !CanOpenForWriting("p"); }, nullptr},
    // Opens, but every write fails with "no space".
    {"full_disk", [] { return symlink("/dev/full", "User_score.txt") == 0; }, nullptr},
};

class RefusedRecordTest : public GameTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedRecordTest, GameStillEndsNormally) {
  if (!GetParam().arrange()) GTEST_SKIP() << "this user can't be refused that way (root?)";
  GameState.segmentCount = 6;
  EXPECT_EQ(Capture(EndGame), Report(6));
  EXPECT_EQ(Recorded.beeps, 1);
  EXPECT_EQ(GameState.paused + GameState.showGameOver + GameState.gameOver, 3);
  if (GetParam().oldContent != nullptr) {
    EXPECT_EQ(ReadFile("User_score.txt"), GetParam().oldContent);
  }
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedRecordTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
