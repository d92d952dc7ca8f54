// The tick: walls, the body following the head, meals within a tick, the frozen phases, capacity.
#include "game_fixture.h"

namespace {

struct WallCase {
  const char* name;
  Direction heading;
  float startX, startY;
  int segments;
  int quietTicks;           // ticks until the head stands one step beyond the wall
  Direction turnBeforeHit;  // 0: heading kept
  const char* console;      // of the hitting tick; each '#' is one EndGame report
  float endX, endY;
};

const char kRight[] = "window width :250\nCASE 1\n#";
const WallCase kWallCases[] = {
    {"right", DirRight, 100, 100, 1, 18, Direction{}, kRight, 244, 100},
    // Segment 1 is clamped to 242 and the head comes back onto it.
    {"right_body", DirRight, 100, 100, 2, 18, Direction{}, "window width :250\nCASE 1\n##", 244,
     100},
    {"right_long", DirRight, 100, 100, 4, 18, Direction{}, "window width :250\nCASE 1\n##", 244,
     100},
    {"right_turned_up", DirRight, 100, 100, 2, 18, DirUp, kRight, 236, 108},
    // Beyond worldWidth - 1 the head clears the clamped segment 1.
    {"right_far", DirRight, 98, 100, 2, 19, Direction{}, kRight, 250, 100},
    // Both walls at once: the top test sees the head the right test pushed back.
    {"corner", DirRight, 244, 236, 1, 0, Direction{}, "window width :250\nCASE 1\n#CASE 3\n#", 244,
     228},
    {"top", DirUp, 100, 100, 1, 17, Direction{}, "CASE 3\n#", 100, 236},
    {"top_body", DirUp, 100, 100, 2, 17, Direction{}, "CASE 3\n##", 100, 236},
    {"left", DirLeft, 4, 100, 1, 1, Direction{}, "CASE 2\n#", -4, 100},
    {"left_body", DirLeft, 4, 100, 2, 1, Direction{}, "CASE 2\n##", -4, 100},
    {"bottom", DirDown, 100, 4, 1, 1, Direction{}, "CASE 4\n#", 100, -4},
    {"bottom_body", DirDown, 100, 4, 2, 1, Direction{}, "CASE 4\n##", 100, -4},
};

class WallTest : public GameTest, public testing::WithParamInterface<WallCase> {};

TEST_P(WallTest, HitEndsTheGameOncePerReasonAndFreezesIt) {
  const WallCase& c = GetParam();
  GameState.direction = c.heading;
  const float backX = c.heading == DirRight ? -8.0f : c.heading == DirLeft ? 8.0f : 0.0f;
  const float backY = c.heading == DirUp ? -8.0f : c.heading == DirDown ? 8.0f : 0.0f;
  for (int i = 0; i < c.segments; ++i) PlaceSegment(i, c.startX + i * backX, c.startY + i * backY);
  GameState.segmentCount = c.segments;

  EXPECT_EQ(Capture([&] {
              for (int t = 0; t < c.quietTicks; ++t) OnTick(1);
            }),
            "");
  EXPECT_EQ(Recorded.beeps, 0);
  if (c.turnBeforeHit != Direction{}) GameState.direction = c.turnBeforeHit;

  std::string expected;
  int endings = 0;
  for (const char* p = c.console; *p != '\0'; ++p) {
    expected += *p == '#' ? Report(c.segments) : std::string(1, *p);
    endings += *p == '#';
  }
  EXPECT_EQ(Capture([] { OnTick(1); }), expected);
  EXPECT_EQ(Recorded.beeps, endings);
  EXPECT_EQ(GameState.segmentX[0], c.endX);
  EXPECT_EQ(GameState.segmentY[0], c.endY);
  EXPECT_EQ(GameState.gameOver, 1);

  EXPECT_EQ(Capture([] { OnTick(1); }), "");  // over: nothing moves any more
  EXPECT_EQ(GameState.segmentX[0], c.endX);
}

INSTANTIATE_TEST_SUITE_P(Walls, WallTest, testing::ValuesIn(kWallCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameTest, PausedOrOverMovesNothingButKeepsRedrawingAndTicking) {
  for (auto [paused, over] : {std::pair{1, 0}, {1, 1}, {0, 1}}) {
    FreshGame();
    GameState.paused = paused;
    GameState.gameOver = over;
    PlaceSegment(0, 300, 300);  // beyond two walls, with the food on the head
    GameState.foodX = 300;
    GameState.foodY = 300;
    const std::string output = Capture([] {
      OnTick(1);
      GameState.tickInterval = 25;
      OnTick(1);
    });
    EXPECT_EQ(output, "");
    EXPECT_EQ(Recorded.log, (std::vector<std::string>{"redraw", "timer 80", "redraw", "timer 25"}));
    EXPECT_EQ(GameState.segmentX[0], 300);
    EXPECT_EQ(GameState.segmentCount, 1);
    EXPECT_EQ(GameState.foodX, 300);
  }
}

TEST_F(GameTest, MealGrowsAtTheTailWithinTheTick) {
  PlaceSegment(0, 116, 132);  // eats the start food at (125, 130) from (124, 132)
  OnTick(1);
  EXPECT_EQ(Recorded.log, (std::vector<std::string>{"beep", "redraw", "timer 80"}));
  EXPECT_EQ(GameState.segmentCount, 2);
  EXPECT_EQ(GameState.segmentX[1], 124);  // segment 1 lies on the head
  EXPECT_EQ(GameState.segmentY[1], 132);
  EXPECT_EQ(GameState.foodX, 33);
  EXPECT_EQ(GameState.foodY, 209);
}

TEST_F(GameTest, TwoMealsInOneTickLeaveTheNewestSegmentAtTheOriginUntilTheNextShift) {
  // The first new food lands at (33, 209), on the head again.
  PlaceSegment(0, 25, 209);
  PlaceSegment(1, 17, 209);
  GameState.segmentCount = 2;
  GameState.foodX = 33;
  GameState.foodY = 209;
  OnTick(1);
  EXPECT_EQ(Recorded.beeps, 2);
  ASSERT_EQ(GameState.segmentCount, 4);
  EXPECT_EQ(GameState.segmentX[2], 17);
  EXPECT_EQ(GameState.segmentX[3], 0);
  EXPECT_EQ(GameState.segmentY[3], 0);
  OnTick(1);
  EXPECT_EQ(GameState.segmentX[3], 17);
  EXPECT_EQ(GameState.segmentY[3], 209);
  EXPECT_EQ(GameState.gameOver, 0);
}

TEST_F(GameTest, BodyAndFoodInOneTickReportTheCountBeforeTheMeal) {
  GameState.direction = DirLeft;  // two quick turns took it back onto its own trail
  PlaceSegment(1, 100, 100);
  PlaceSegment(2, 92, 100);
  GameState.segmentCount = 3;
  GameState.foodX = 92;
  GameState.foodY = 100;
  EXPECT_EQ(Capture([] { OnTick(1); }), Report(3));
  EXPECT_EQ(GameState.segmentCount, 4);
  EXPECT_EQ(ReadWholeFile("User_score.txt"), WithLineEnd(ScoreRecord(3, 5), kBuiltLineEnd));
}

TEST_F(GameTest, GrowthStopsAtCapacityWithoutWritingPastTheArrays) {
  GameState.segmentCount = kMaxSegments - 2;  // the body lies at the origin, far behind
  for (int t = 0; t < 5; ++t) {
    GameState.foodX = GameState.segmentX[0] + 8;
    GameState.foodY = GameState.segmentY[0];
    OnTick(1);
  }
  EXPECT_EQ(Recorded.beeps, 5);  // every meal beeps, and food moves on
  EXPECT_EQ(GameState.segmentCount, kMaxSegments);
  EXPECT_EQ(GameState.segmentY[0], 100);  // the entry after segmentX's last
  EXPECT_EQ(GameState.gameOver, 0);

  GameState.segmentCount = 5000;  // out of range from outside: loops stay inside the arrays
  OnTick(1);
  EXPECT_EQ(GameState.segmentCount, 5000);
  EXPECT_EQ(GameState.segmentY[0], 100);
}

// A game of a few meals, then straight on into a wall: everything it left behind.
struct PlayedGame {
  std::string console, record;
  std::vector<float> food;  // x and y after each meal
  std::vector<std::string> log;
  int score = 0;
};

PlayedGame PlayToTheEnd() {
  PlayedGame played;
  testing::internal::CaptureStdout();
  for (int meal = 0; meal < 4; ++meal) {
    GameState.segmentX[0] = GameState.foodX - GameState.stepX;
    GameState.segmentY[0] = GameState.foodY;
    OnTick(1);
    played.food.push_back(GameState.foodX);
    played.food.push_back(GameState.foodY);
  }
  for (int tick = 0; tick < 100 && GameState.gameOver == 0; ++tick) OnTick(1);
  played.console = testing::internal::GetCapturedStdout();
  played.record = ReadWholeFile("User_score.txt");
  played.log = Recorded.log;
  played.score = GameState.segmentCount;
  return played;
}

// The page's play again: after ForgetGame and start-up's steps, a second game in the same run
// eats the same food, writes the same console and record and ends the same way as the first;
// nothing of the last game (the generator, the frozen flags, the serpent) is left over.
TEST_F(GameTest, ForgottenGamePlaysAgainAsTheFirst) {
  const PlayedGame first = PlayToTheEnd();
  ASSERT_EQ(GameState.gameOver, 1);
  ASSERT_GT(first.score, 3);
  ForgetGame();
  StartAsStartUpDoes();
  const PlayedGame second = PlayToTheEnd();
  EXPECT_EQ(second.food, first.food);
  EXPECT_EQ(second.console, first.console);
  EXPECT_EQ(second.record, first.record);
  EXPECT_EQ(second.log, first.log);
  EXPECT_EQ(second.score, first.score);
}

}  // namespace
