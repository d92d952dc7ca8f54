// The start of a run as a player sees it: console bytes, the window, the first frame.
#include <X11/keysym.h>

#include "expected_output.h"
#include "game_run.h"

namespace {

using Startup = GameRunTest;

TEST_F(Startup, ConsoleWindowAndFirstFrame) {
  ASSERT_TRUE(Launch("1\n"));  // the slowest level: the serpent barely moves before F1

  int width = 0, height = 0, left = 0, top = 0;
  ASSERT_TRUE(x().Size(window_, &width, &height));
  EXPECT_EQ(width, 350);
  EXPECT_EQ(height, 385);
  // Wine puts the outer frame where the game asks; the client area lands lower.
  if (!UnderWine()) {
    ASSERT_TRUE(x().Position(window_, &left, &top));
    EXPECT_EQ(left, 50);
    EXPECT_EQ(top, 50);
  }

  ASSERT_TRUE(game().WaitForOutput(Lines("> successful!\n"), kStartTimeoutMs)) << game().Output();
  EXPECT_EQ(game().Output(), Lines(StartOutput(true)));

  Frame start;
  ASSERT_TRUE(
      WaitForFrame([](const Frame& f) { return !Segments(f).empty(); }, kPlayTimeoutMs, &start));
  SaveFrame(start, "start");
  Tap(XK_F1);
  Frame paused;
  ASSERT_TRUE(WaitForStateText(StateText::Paused, &paused));
  SaveFrame(paused, "paused");

  // The first tick may have come before the window showed; F1 stops it within a few steps of
  // (100, 100), heading right.
  std::vector<Square> serpent = Segments(paused);
  ASSERT_EQ(serpent.size(), 1u) << Describe(serpent);
  bool nearStart = false;
  for (double x : {100, 108, 116, 124}) nearStart |= HasSquareAt(serpent, x, 100);
  EXPECT_TRUE(nearStart) << Describe(serpent);
  EXPECT_TRUE(HasSquareAt(FindSquares(paused, SquareKind::Food), 125, 130))
      << Describe(FindSquares(paused, SquareKind::Food));
  EXPECT_EQ(CountPixels(paused, kClearColour, 0), 0) << "the strips leave part of the window bare";
  EXPECT_GT(TitlePixels(paused), 40) << "no yellow title along the top of the panel";
  EXPECT_EQ(x().Bells(), 0);
}

}  // namespace
