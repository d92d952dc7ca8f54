// The keys: the reversal guard, F1 in every phase, keys the game ignores.
#include "game_fixture.h"
#include "special_keys.h"

namespace {

TEST_F(GameTest, ArrowsTurnAnyWayButStraightBack) {
  const struct {
    SpecialKey key;
    Direction before, after;
  } cases[] = {
      {KeyLeft, DirRight, DirRight}, {KeyLeft, DirLeft, DirLeft},   {KeyLeft, DirUp, DirLeft},
      {KeyLeft, DirDown, DirLeft},   {KeyRight, DirLeft, DirLeft},  {KeyRight, DirRight, DirRight},
      {KeyRight, DirUp, DirRight},   {KeyRight, DirDown, DirRight}, {KeyUp, DirDown, DirDown},
      {KeyUp, DirUp, DirUp},         {KeyUp, DirLeft, DirUp},       {KeyUp, DirRight, DirUp},
      {KeyDown, DirUp, DirUp},       {KeyDown, DirDown, DirDown},   {KeyDown, DirLeft, DirDown},
      {KeyDown, DirRight, DirDown},
  };
  for (const auto& c : cases) {
    GameState.direction = c.before;
    OnSpecialKey(c.key, 10, 20);
    EXPECT_EQ(GameState.direction, c.after) << "key " << c.key << " heading " << c.before;
  }
}

TEST_F(GameTest, F1PausesAndResumesUntilTheGameIsOver) {
  const struct {
    int paused, over, showPaused, showOver;  // phase before F1
    int pausedAfter, showPausedAfter;
  } cases[] = {{0, 0, 0, 0, 1, 1}, {1, 0, 1, 0, 0, 0}, {1, 1, 0, 1, 1, 0}};
  for (const auto& c : cases) {
    FreshGame();
    GameState.paused = c.paused;
    GameState.gameOver = c.over;
    GameState.showPaused = c.showPaused;
    GameState.showGameOver = c.showOver;
    OnSpecialKey(KeyF1, 0, 0);
    EXPECT_EQ(GameState.paused, c.pausedAfter);
    EXPECT_EQ(GameState.showPaused, c.showPausedAfter);
    EXPECT_EQ(GameState.gameOver, c.over);
    EXPECT_EQ(GameState.showGameOver, c.showOver);
  }
}

TEST_F(GameTest, F1TwiceBetweenTicksNeverPauses) {
  OnSpecialKey(KeyF1, 0, 0);
  OnSpecialKey(KeyF1, 0, 0);
  OnTick(1);
  EXPECT_EQ(GameState.segmentX[0], 108);
}

TEST_F(GameTest, TurnWhilePausedIsTakenOnResume) {
  OnSpecialKey(KeyF1, 0, 0);
  OnSpecialKey(KeyUp, 0, 0);
  OnTick(1);
  OnSpecialKey(KeyF1, 0, 0);
  OnTick(1);
  EXPECT_EQ(GameState.segmentX[0], 100);
  EXPECT_EQ(GameState.segmentY[0], 108);
}

TEST_F(GameTest, OtherKeysChangeNothing) {
  for (int key : {0, 2, 12, 99, 104, 105, 106, 107, 108, 97, 27, -1, 1 << 20}) {
    OnSpecialKey(key, 0, 0);
    EXPECT_EQ(GameState.direction, DirRight) << key;
    EXPECT_EQ(GameState.paused + GameState.showPaused, 0) << key;
  }
}

// Two turns between ticks take the head back onto the square it held two ticks before: the body
// rule decides, and only a serpent of 3 or more covers that square.
TEST_F(GameTest, QuickDoubleTurnBackHitsTheBodyFromThreeSegments) {
  for (int segments : {2, 3}) {
    FreshGame();
    GameState.segmentCount = segments;
    for (int i = 1; i < segments; ++i) PlaceSegment(i, 100 - 8 * i, 100);
    OnTick(1);
    OnTick(1);
    OnSpecialKey(KeyUp, 0, 0);
    OnSpecialKey(KeyLeft, 0, 0);
    EXPECT_EQ(GameState.direction, DirLeft);
    Capture([] { OnTick(1); });
    EXPECT_EQ(GameState.gameOver, segments >= 3 ? 1 : 0) << segments << " segments";
  }
}

}  // namespace
