// Resizing the window: the strips keep filling it and the walls move with it at the next tick.
#include <X11/keysym.h>

#include "expected_output.h"
#include "game_run.h"

namespace {

using Resize = GameRunTest;

bool SizeIs(const Frame& frame, int width, int height) {
  return frame.width == width && frame.height == height;
}

TEST_F(Resize, StripsFillAndWallsFollow) {
  ASSERT_TRUE(Launch("4\n"));
  // A world 500 units wide: the head runs on past the start world's right wall at 243.
  x().Resize(window_, 500, 250);
  Frame wide;
  ASSERT_TRUE(WaitForFrame(
      [](const Frame& f) {
        if (!SizeIs(f, 500, 250)) return false;
        for (const Square& s : Segments(f))
          if (s.x > 255.0) return true;
        return false;
      },
      kPlayTimeoutMs, &wide))
      << game().Output();
  Tap(XK_F1);
  ASSERT_TRUE(WaitForStateText(StateText::Paused, &wide));
  SaveFrame(wide, "wide");
  EXPECT_EQ(game().Output(), Lines(StartOutput(true))) << "a wall ended the game in the wide world";
  EXPECT_EQ(CountPixels(wide, kClearColour, 0), 0);
  EXPECT_GT(TitlePixels(wide), 40);

  // Paused in a world 250 wide with the head far beyond its right wall.
  x().Resize(window_, 250, 500);
  Frame tall;
  ASSERT_TRUE(WaitForFrame(
      [](const Frame& f) { return SizeIs(f, 250, 500) && FindStateText(f) == StateText::Paused; },
      kPlayTimeoutMs, &tall));
  SaveFrame(tall, "tall");
  EXPECT_EQ(CountPixels(tall, kClearColour, 0), 0);
  EXPECT_GT(TitlePixels(tall), 40);
  EXPECT_TRUE(Segments(tall).empty()) << Describe(Segments(tall));

  // The first tick after the resume finds the head beyond the new wall.
  Tap(XK_F1);
  ASSERT_TRUE(game().WaitForOutput(Lines(ScoreReport(1)), kPlayTimeoutMs)) << game().Output();
  EXPECT_EQ(game().Output(),
            Lines(StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1)));
  Frame over;
  ASSERT_TRUE(WaitForStateText(StateText::GameOver, &over));
  SaveFrame(over, "gameover");
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(1, 4)));
}

}  // namespace
