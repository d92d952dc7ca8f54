// The world extent that follows the window: the shorter side always spans 250 units.
#include "window.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct WindowCase {
  int32_t width, height;
  double worldWidth, worldHeight;
};

class WorldSize : public testing::TestWithParam<WindowCase> {};

TEST_P(WorldSize, ShorterSideSpans250Units) {
  const WindowCase& c = GetParam();
  float w = -1, h = -1;
  WorldSizeForWindow(c.width, c.height, &w, &h);
  EXPECT_FLOAT_EQ(w, static_cast<float>(c.worldWidth));
  EXPECT_FLOAT_EQ(h, static_cast<float>(c.worldHeight));
  EXPECT_TRUE(std::isfinite(w) && std::isfinite(h));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WorldSize,
    testing::Values(WindowCase{350, 385, 250, 275}, WindowCase{500, 250, 500, 250},
                    WindowCase{250, 500, 250, 500}, WindowCase{300, 300, 250, 250},
                    WindowCase{350, 400, 250, 400.0 * 250.0 / 350.0},
                    WindowCase{700, 600, 700.0 * 250.0 / 600.0, 250},
                    // Collapsed windows count their zero side as one pixel.
                    WindowCase{350, 0, 350.0 * 250.0, 250}, WindowCase{0, 385, 250, 385.0 * 250.0},
                    WindowCase{0, 0, 250, 250}, WindowCase{1, 1, 250, 250},
                    WindowCase{4000, 10, 100000, 250}, WindowCase{10, 4000, 250, 100000}));

TEST(WorldSize, FractionalHeightIsStoredAsSinglePrecision) {
  float w = 0, h = 0;
  WorldSizeForWindow(350, 400, &w, &h);
  EXPECT_EQ(h, static_cast<float>(400 * 250.0 / 350));
  EXPECT_NEAR(h, 285.714, 0.001);
}

}  // namespace
