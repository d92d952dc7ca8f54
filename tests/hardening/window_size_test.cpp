// Windows of 1 x 1, 4000 x 10 and 10 x 4000 pixels: the game keeps drawing, raises no GL error,
// and its walls move with the world the window makes.
#include <X11/keysym.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "expected_output.h"
#include "hardening_run.h"

namespace {

constexpr int kStartWidth = 350;
constexpr int kStartHeight = 385;

// Without pictures every strip pixel is a blend of its vertex colours, none darker than 42 and
// none the clear colour; the area a window gains from a resize stays black until the game draws.
bool DrawnAtSize(const Frame& frame, int width, int height) {
  return frame.width == width && frame.height == height &&
         CountPixels(frame, kClearColour, 0) == 0 && CountPixels(frame, {0, 0, 0}, 20) == 0;
}

// The end at the top wall, with the first food eaten on the way when the turn came late: then
// the head may step back onto the segment behind it and end the game a second time.
bool EndsAtTopWall(const std::string& tail) {
  for (int score : {1, 2}) {
    std::string once = "CASE 3\n" + ScoreReport(score);
    if (tail == once || tail == once + ScoreReport(score)) return true;
  }
  return false;
}

std::string After(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : "<" + text;
}

bool HeadAtHeight(const std::vector<Square>& squares, double y) {
  for (const Square& s : squares)
    if (s.y > y - 1.0 && s.y < y + 1.0) return true;
  return false;
}

class WindowSize : public HardeningTest {
 protected:
  bool StartAndResize(const char* level, int width, int height) {
    NewFolder(false);
    LaunchOptions options;
    options.levelInput = level;
    if (!Start(options)) return false;
    x().Resize(window_, width, height);
    x().Focus(window_);
    started_ = std::chrono::steady_clock::now();
    return true;
  }

  void WaitUntil(int msAfterStart) {
    std::this_thread::sleep_until(started_ + std::chrono::milliseconds(msAfterStart));
  }

  // Back to the start size: the frame must come back whole, frozen on "Game Over!".
  bool RestoreAndWaitForGameOver(Frame* over) {
    x().Resize(window_, kStartWidth, kStartHeight);
    return WaitForFrame(
        [](const Frame& f) {
          return DrawnAtSize(f, kStartWidth, kStartHeight) &&
                 FindStateText(f) == StateText::GameOver;
        },
        kPlayTimeoutMs, over);
  }

  std::chrono::steady_clock::time_point started_;
};

TEST_F(WindowSize, OneByOnePixelMovesTheTopWallDown) {
  // Level 1, so the turn comes long before the head reaches the right wall.
  ASSERT_TRUE(StartAndResize("1\n", 1, 1));
  x().Tap(XK_Up);
  // The one pixel left from before is the panel's pink corner; drawn anew, it is the middle of
  // the playfield strip, whose vertex colours hold little blue.
  Frame tiny;
  ASSERT_TRUE(WaitForFrame([](const Frame& f) { return DrawnAtSize(f, 1, 1) && f.At(0, 0).b < 60; },
                           kPlayTimeoutMs, &tiny));
  // A world of 250 x 250 puts the top wall at 208 rather than 233: the head ends at 212.
  ASSERT_TRUE(game().WaitForOutput("Game Over\n", kPlayTimeoutMs)) << game().Output();
  usleep(300000);
  EXPECT_TRUE(game().Running());
  EXPECT_PRED1(EndsAtTopWall, After(game().Output(), StartOutput(false)));

  Frame over;
  ASSERT_TRUE(RestoreAndWaitForGameOver(&over));
  SaveFrame(over, "restored");
  EXPECT_TRUE(HeadAtHeight(FindSquares(over, SquareKind::Segment), 212))
      << Describe(FindSquares(over, SquareKind::Segment));
  CloseAndExpectCleanExit();
  ExpectCleanStderr();
}

TEST_F(WindowSize, WideAndFlatPushesTheRightWallFarOut) {
  ASSERT_TRUE(StartAndResize("4\n", 4000, 10));
  Frame flat;
  ASSERT_TRUE(
      WaitForFrame([](const Frame& f) { return DrawnAtSize(f, 4000, 10); }, kPlayTimeoutMs, &flat));
  // At 100 ms a tick the start world's right wall would have ended the game after 1.8 s; the
  // world is 100000 units wide now, so the head runs on.
  WaitUntil(3000);
  EXPECT_TRUE(game().Running());
  EXPECT_EQ(game().Output(), StartOutput(false)) << "a wall ended the game in the wide world";

  // Back in a world 250 wide, the head lies far beyond the right wall: the next tick ends it.
  Frame over;
  ASSERT_TRUE(RestoreAndWaitForGameOver(&over));
  SaveFrame(over, "restored");
  EXPECT_EQ(game().Output(), StartOutput(false) + "window width :250\nCASE 1\n" + ScoreReport(1));
  EXPECT_EQ(ScoreFile(), ScoreRecord(1, 4));
  CloseAndExpectCleanExit();
  ExpectCleanStderr();
}

TEST_F(WindowSize, NarrowAndTallPushesTheTopWallFarUp) {
  ASSERT_TRUE(StartAndResize("1\n", 10, 4000));
  x().Tap(XK_Up);
  Frame tall;
  ASSERT_TRUE(
      WaitForFrame([](const Frame& f) { return DrawnAtSize(f, 10, 4000); }, kPlayTimeoutMs, &tall));
  // Heading up at 220 ms a tick, the start world's top wall would have ended the game after
  // about 3.8 s; the world is 100000 units high now.
  WaitUntil(4800);
  EXPECT_TRUE(game().Running());
  EXPECT_EQ(game().Output(), StartOutput(false)) << "a wall ended the game in the tall world";

  Frame over;
  ASSERT_TRUE(RestoreAndWaitForGameOver(&over));
  SaveFrame(over, "restored");
  EXPECT_PRED1(EndsAtTopWall, After(game().Output(), StartOutput(false)));
  CloseAndExpectCleanExit();
  ExpectCleanStderr();
}

}  // namespace
