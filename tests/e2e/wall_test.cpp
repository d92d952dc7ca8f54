// Games that end at a wall: the console, the score record, the bells and the frozen frame.
#include <X11/keysym.h>
#include <unistd.h>

#include "expected_output.h"
#include "game_run.h"

namespace {

using Wall = GameRunTest;

TEST_F(Wall, Level8RunsIntoTheRightWall) {
  ASSERT_TRUE(Launch("8\n"));
  ASSERT_TRUE(game().WaitForOutput(Lines(ScoreReport(1)), kPlayTimeoutMs)) << game().Output();
  Frame over;
  ASSERT_TRUE(WaitForStateText(StateText::GameOver, &over));
  SaveFrame(over, "gameover");

  EXPECT_EQ(SettledBells(1), 1);
  EXPECT_EQ(game().Output(),
            Lines(StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1)));
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(1, 8)));

  // The head stays one step past the wall at 243, cut by the window's right edge.
  std::vector<Square> serpent = Segments(over);
  EXPECT_EQ(serpent.size(), 1u) << Describe(serpent);
  EXPECT_TRUE(HasSquareAt(serpent, 244, 100)) << Describe(serpent);
  EXPECT_TRUE(HasSquareAt(FindSquares(over, SquareKind::Food), 125, 130))
      << Describe(FindSquares(over, SquareKind::Food));

  // Over is final: F1 shows no "Paused" and nothing moves; the ticks still redraw the same frame.
  Tap(XK_F1);
  usleep(200000);
  Frame later = Grab();
  EXPECT_TRUE(later == over) << "the frozen frame changed after F1";

  CloseAndExpectCleanExit();
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(1, 8)));
}

TEST_F(Wall, UpArrowEndsAtTheTopWall) {
  ASSERT_TRUE(Launch("3\n"));
  // Turning at x 124 or 132 runs the head through the first food at (125, 130).
  Frame frame;
  ASSERT_TRUE(WaitForFrame([](const Frame& f) { return ReachedOnStartRow(f, 124); }, kPlayTimeoutMs,
                           &frame));
  Tap(XK_Up);

  ASSERT_TRUE(game().WaitForOutput(Lines("CASE 3\n"), kPlayTimeoutMs)) << game().Output();
  Frame over;
  ASSERT_TRUE(WaitForStateText(StateText::GameOver, &over));
  SaveFrame(over, "gameover");
  std::vector<Square> serpent = Segments(over);
  ASSERT_EQ(serpent.size(), 1u) << Describe(serpent);
  const double column = serpent[0].x;
  ASSERT_TRUE(HasSquareAt(serpent, 124, 236) || HasSquareAt(serpent, 132, 236))
      << "Up took effect too late: " << Describe(serpent);

  // One meal, so two segments: the second lies on the head, one square shows. At the wall the
  // head steps back onto it, so the game ends twice in that tick.
  const int score = 2;
  EXPECT_EQ(serpent.size(), static_cast<size_t>(score - 1));
  EXPECT_EQ(game().Output(),
            Lines(StartOutput(true) + "CASE 3\n" + ScoreReport(score) + ScoreReport(score)));
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(score, 3)));
  EXPECT_EQ(SettledBells(3), 3) << "one for the meal, one for each end";
  // The next food comes from the game's fixed sequence.
  EXPECT_TRUE(HasSquareAt(FindSquares(over, SquareKind::Food), 33, 209))
      << Describe(FindSquares(over, SquareKind::Food)) << " with the turn at x " << column;
}

}  // namespace
