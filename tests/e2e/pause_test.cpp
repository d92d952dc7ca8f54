// F1 freezes the game and shows "Paused"; arrows pressed meanwhile wait for the resume.
#include <X11/keysym.h>
#include <unistd.h>

#include <cmath>

#include "expected_output.h"
#include "game_run.h"

namespace {

using Pause = GameRunTest;

constexpr int kIntervalMs = 120;  // level 3

TEST_F(Pause, F1FreezesAndArrowsWaitForTheResume) {
  ASSERT_TRUE(Launch("3\n"));
  Frame moving;
  ASSERT_TRUE(WaitForFrame([](const Frame& f) { return ReachedOnStartRow(f, 108); }, kPlayTimeoutMs,
                           &moving));
  Tap(XK_F1);
  Frame paused;
  ASSERT_TRUE(WaitForStateText(StateText::Paused, &paused));
  SaveFrame(paused, "paused");
  std::vector<Square> before = Segments(paused);
  ASSERT_EQ(before.size(), 1u) << Describe(before);

  // Several intervals, each with its redraw: not a pixel may change.
  usleep(5 * kIntervalMs * 1000);
  EXPECT_TRUE(Grab() == paused) << "the paused frame changed";
  Tap(XK_Up);
  usleep(3 * kIntervalMs * 1000);
  EXPECT_TRUE(Grab() == paused) << "an arrow key moved the paused serpent";

  Tap(XK_F1);
  Frame resumed;
  ASSERT_TRUE(WaitForFrame(
      [&](const Frame& f) {
        return FindStateText(f) == StateText::NoText &&
               !HasSquareAt(Segments(f), before[0].x, before[0].y);
      },
      kPlayTimeoutMs, &resumed));
  std::vector<Square> after = Segments(resumed);
  ASSERT_FALSE(after.empty());
  EXPECT_NEAR(after[0].x, before[0].x, 1.0) << "the serpent did not turn up: " << Describe(after);
  EXPECT_GT(after[0].y, before[0].y + 7.0) << Describe(after);

  ASSERT_TRUE(game().WaitForOutput(Lines("Game Over\n"), kPlayTimeoutMs)) << game().Output();
  const std::string output = game().Output();
  EXPECT_NE(output.find(Lines("CASE 3\n")), std::string::npos) << output;
  EXPECT_EQ(output.find("CASE 1"), std::string::npos) << output;
}

}  // namespace
