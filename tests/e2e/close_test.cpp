// Closing the window the way a window manager does, in the middle of a game.
#include "expected_output.h"
#include "game_run.h"

namespace {

using Close = GameRunTest;

TEST_F(Close, ClosingMidGameKeepsTheScoreFile) {
  // Longer than any record the game writes, so a truncation would show.
  const std::string previous = "You score is : 117 at level 2\nkept by the player\n";
  ASSERT_TRUE(Launch("1\n", Pictures::Present, &previous));
  Frame moving;
  ASSERT_TRUE(WaitForFrame([](const Frame& f) { return ReachedOnStartRow(f, 108); }, kPlayTimeoutMs,
                           &moving));

  EXPECT_EQ(game().Output(), Lines(StartOutput(true)));
  CloseAndExpectCleanExit();
  EXPECT_EQ(ScoreFile(), previous);
  EXPECT_EQ(x().Bells(), 0);
}

}  // namespace
