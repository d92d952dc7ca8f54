// Game over: the console report, the score record file, the flags, and folders that refuse it.
#include <filesystem>
#include <fstream>

#include "expected_output.h"
#include "game_fixture.h"
#include "record_refusals.h"

bool CanOpenForWriting(const char* path) {
  std::FILE* probe = std::fopen(path, "a");
  if (probe != nullptr) std::fclose(probe);
  return probe != nullptr;
}

namespace {

TEST_F(GameTest, EndGameReportsFreezesAndRecordsTheScoreAsItStands) {
  for (auto [count, level] : {std::pair{1, 0}, {12, 5}, {3, 12}, {7, -3}}) {
    FreshGame();
    GameState.segmentCount = count;
    GameState.level = level;
    GameState.direction = DirUp;
    EXPECT_EQ(Capture(EndGame), Report(count));
    // Text mode: the platform's line end.
    EXPECT_EQ(ReadWholeFile("User_score.txt"),
              WithLineEnd(ScoreRecord(count, level), kBuiltLineEnd));
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
  EXPECT_EQ(ReadWholeFile("User_score.txt"), WithLineEnd(ScoreRecord(4, 5), kBuiltLineEnd));
}

// The ways every platform can refuse the record; record_refusals_<system>.cpp adds its own.
std::vector<RefusalCase> AllRefusals() {
  std::vector<RefusalCase> cases = {
      {"directory_of_that_name", [] { return std::filesystem::create_directory("User_score.txt"); },
       nullptr},
      {"read_only_file",
       [] {
         std::ofstream("User_score.txt") << "old\n";
         std::filesystem::permissions("User_score.txt", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::group_read |
                                                            std::filesystem::perms::others_read);
         return !CanOpenForWriting("User_score.txt");
       },
       "old\n"},
  };
  for (const RefusalCase& own : PlatformRefusals()) cases.push_back(own);
  return cases;
}

class RefusedRecordTest : public GameTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedRecordTest, GameStillEndsNormally) {
  if (!GetParam().arrange()) GTEST_SKIP() << "this user can't be refused that way (root?)";
  GameState.segmentCount = 6;
  EXPECT_EQ(Capture(EndGame), Report(6));
  EXPECT_EQ(Recorded.beeps, 1);
  EXPECT_EQ(GameState.paused + GameState.showGameOver + GameState.gameOver, 3);
  if (GetParam().oldContent != nullptr) {
    EXPECT_EQ(ReadWholeFile("User_score.txt"), GetParam().oldContent);
  }
  if (GetParam().release != nullptr) GetParam().release();
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedRecordTest, testing::ValuesIn(AllRefusals()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
