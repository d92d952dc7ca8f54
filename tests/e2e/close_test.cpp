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

  const std::string before = game().Output();
  x().RequestClose(window_);
  ASSERT_TRUE(game().WaitForExit(kPlayTimeoutMs)) << "the game did not end after the close";
  EXPECT_TRUE(game().exited()) << "ended by signal " << game().signal();
  EXPECT_EQ(game().exitCode(), 0);
  EXPECT_EQ(before, Lines(StartOutput(true)));
  EXPECT_EQ(game().Output(), before) << "printed after the close";
  EXPECT_EQ(ScoreFile(), previous);
  EXPECT_EQ(x().Bells(), 0);
}

}  // namespace
