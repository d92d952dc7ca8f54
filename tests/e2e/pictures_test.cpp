// A play folder without pictures: honest loading lines, and a game drawn on bare strips.
#include "expected_output.h"
#include "game_run.h"

namespace {

using NoPictures = GameRunTest;

struct CornerProbe {
  const char* where;
  double x, y;  // world units, half a unit inside the corner
  Rgb colour;   // the vertex colour there, untinted by any picture
};

TEST_F(NoPictures, HonestLinesAndUntexturedStrips) {
  ASSERT_TRUE(Launch("8\n", Pictures::Absent));
  ASSERT_TRUE(game().WaitForOutput(Lines(ScoreReport(1)), kPlayTimeoutMs)) << game().Output();
  Frame over;
  ASSERT_TRUE(WaitForStateText(StateText::GameOver, &over));
  SaveFrame(over, "gameover");

  EXPECT_EQ(game().Output(),
            Lines(StartOutput(false) + "window width :250\nCASE 1\n" + ScoreReport(1)));
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(1, 8)));
  EXPECT_TRUE(HasSquareAt(Segments(over), 244, 100)) << Describe(Segments(over));

  // The start world is 250 x 275 units; the panel is the top 35.
  const CornerProbe corners[] = {
      {"playfield lower left", 0.5, 0.5, {254, 233, 0}},
      {"playfield lower right", 249.5, 0.5, {44, 44, 42}},
      {"playfield upper right", 249.5, 239.5, {254, 233, 0}},
      {"playfield upper left", 0.5, 239.5, {44, 44, 42}},
      {"panel lower left", 0.5, 240.5, {191, 191, 179}},
      {"panel lower right", 249.5, 240.5, {191, 191, 191}},
      {"panel upper right", 249.5, 274.5, {255, 140, 140}},
      {"panel upper left", 0.5, 274.5, {255, 140, 140}},
  };
  for (const CornerProbe& probe : corners) {
    Rgb seen = over.AtWorld(probe.x, probe.y);
    EXPECT_TRUE(Near(seen, probe.colour, 6))
        << probe.where << ": " << seen.r << "," << seen.g << "," << seen.b;
  }
  EXPECT_EQ(CountPixels(over, kClearColour, 0), 0);
}

}  // namespace
