// Food and body: the generator, food placement, the overlap bounds, eating and the body rule.
#include <cmath>
#include <map>
#include <set>

#include "game_fixture.h"

namespace {

TEST_F(GameTest, GeneratorStartsFromItsFixedState) {
  for (int expected : {41, 18467, 6334, 26500, 19169, 15724}) EXPECT_EQ(GameRandom(), expected);
}

TEST_F(GameTest, FoodFollowsTheFixedSequenceInTheStartWorld) {
  // 2nd: raw y -8 raised to 0; 8th: y 233 lowered; 9th: y 237 lowered.
  const std::map<int, std::pair<float, float>> expected = {{1, {33, 209}},  {2, {76, 0}},
                                                           {3, {161, 216}}, {4, {220, 100}},
                                                           {8, {203, 225}}, {9, {229, 184}}};
  for (int call = 1; call <= 9; ++call) {
    PlaceFood(250, 275);
    if (expected.count(call) == 0) continue;
    EXPECT_EQ(GameState.foodX, expected.at(call).first) << "call " << call;
    EXPECT_EQ(GameState.foodY, expected.at(call).second) << "call " << call;
  }
}

TEST_F(GameTest, FoodStaysOnWholeUnitsInsideThePlayfieldOfAnyWorld) {
  for (auto [width, height] :
       {std::pair{250, 275}, {500, 250}, {1000, 250}, {251, 250}, {250, 600}}) {
    FreshGame();
    std::set<float> rows;
    for (int call = 0; call < 4000; ++call) {
      PlaceFood(width, height);
      if (call == 0 && width == 500) {
        EXPECT_EQ(GameState.foodX, 33);  // only y (451) was outside
      }
      const float x = GameState.foodX, y = GameState.foodY;
      ASSERT_TRUE(x >= 0 && x <= width - 7 && y >= 0 && y <= height - 7 - 35) << x << ", " << y;
      ASSERT_TRUE(x == std::floor(x) && y == std::floor(y)) << x << ", " << y;
      rows.insert(y);
    }
    EXPECT_GT(rows.size(), 0.9 * std::min(width, height - 42)) << width << " x " << height;
  }
}

// Corners 7 apart overlap, 8 apart don't, for the food and for the body alike.
TEST_F(GameTest, OverlapBoundsAreClosedAtBlockSize) {
  const struct {
    float dx, dy;
    bool overlap;
  } cases[] = {{7, 0, true},   {-7, 0, true}, {0, 7, true},     {0, -7, true},
               {7, -7, true},  {8, 0, false}, {-8, 0, false},   {0, 8, false},
               {0, -8, false}, {7, 8, false}, {7.5f, 0, false}, {6.75f, 6.75f, true}};
  for (const auto& c : cases) {
    FreshGame();
    GameState.foodX = 100 + c.dx;
    GameState.foodY = 100 + c.dy;
    CheckFood();
    EXPECT_EQ(GameState.segmentCount, c.overlap ? 2 : 1) << c.dx << ", " << c.dy;

    FreshGame();
    GameState.segmentCount = 2;
    PlaceSegment(1, 100 + c.dx, 100 + c.dy);
    Capture(CheckSelfCollision);
    EXPECT_EQ(GameState.gameOver, c.overlap ? 1 : 0) << c.dx << ", " << c.dy;
  }
}

TEST_F(GameTest, NewFoodOnTheHeadIsEatenInTheSameCall) {
  PlaceSegment(0, 33, 209);  // where the first new food lands
  GameState.foodX = 30;
  GameState.foodY = 205;
  CheckFood();
  EXPECT_EQ(Recorded.beeps, 2);
  EXPECT_EQ(GameState.segmentCount, 3);
  EXPECT_EQ(GameState.foodX, 76);
  EXPECT_EQ(GameState.foodY, 0);
}

TEST_F(GameTest, MealAtCapacityBeepsAndMovesTheFoodButAddsNoSegment) {
  GameState.segmentCount = kMaxSegments;
  GameState.foodX = 100;
  GameState.foodY = 100;
  CheckFood();
  EXPECT_EQ(Recorded.beeps, 1);
  EXPECT_EQ(GameState.segmentCount, kMaxSegments);
  EXPECT_EQ(GameState.foodX, 33);
}

TEST_F(GameTest, BodyRuleEndsTheGameOncePerOverlappingSegment) {
  PlaceSegment(1, 100, 100);  // a count of 1 makes no test, even on the head itself
  EXPECT_EQ(Capture(CheckSelfCollision), "");

  GameState.segmentCount = 4;
  PlaceSegment(2, 104, 96);
  PlaceSegment(3, 120, 100);
  EXPECT_EQ(Capture(CheckSelfCollision), Report(4) + Report(4));
  EXPECT_EQ(Recorded.beeps, 2);
}

}  // namespace
