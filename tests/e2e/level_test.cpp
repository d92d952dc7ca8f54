// A level the console can't read: level 0 in the record and the default pace.
#include <algorithm>
#include <chrono>
#include <iostream>
#include <vector>

#include "expected_output.h"
#include "game_run.h"

namespace {

using Level = GameRunTest;

TEST_F(Level, UnreadableLevelPlaysAtTheDefaultPace) {
  ASSERT_TRUE(Launch("abc\n"));

  // Time each step of the head on its way to the right wall. A step is seen within one grab of
  // when it happens, and the median shrugs off the odd stall of a busy machine.
  using Clock = std::chrono::steady_clock;
  std::vector<double> stepTimes;
  double lastX = -1.0;
  auto deadline = Clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
  while (game().Output().find(Lines("Game Over\n")) == std::string::npos &&
         Clock::now() < deadline) {
    Frame frame = Grab();
    std::vector<Square> serpent = Segments(frame);
    if (serpent.size() != 1) continue;
    if (serpent[0].x != lastX) {
      stepTimes.push_back(
          std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count());
      lastX = serpent[0].x;
    }
  }
  ASSERT_TRUE(game().WaitForOutput(Lines(ScoreReport(1)), kPlayTimeoutMs)) << game().Output();
  // The console report comes before the record is written; the Game Over frame only after.
  Frame over;
  ASSERT_TRUE(WaitForStateText(StateText::GameOver, &over));
  EXPECT_EQ(game().Output(),
            Lines(StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1)));
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(1, 0)));

  std::vector<double> intervals;
  for (size_t i = 1; i < stepTimes.size(); ++i)
    intervals.push_back(stepTimes[i] - stepTimes[i - 1]);
  ASSERT_GE(intervals.size(), 8u) << "too few steps seen";
  std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
  const double median = intervals[intervals.size() / 2];
  std::cout << "median step interval " << median << " ms over " << intervals.size() << " steps\n";
  // Level 5's 80 ms, well apart from the neighbouring 60 and 100.
  EXPECT_GT(median, 68.0);
  EXPECT_LT(median, 92.0);
}

}  // namespace
