// Frames drawn by a real GL (Mesa under a private Xvfb), read back and probed with a tolerance the
// way piglit probes pixels. The pictures are plain white unless a test says otherwise, so the
// strips show their vertex colours.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "bitmap_builder.h"
#include "frame_seam.h"
#include "game_state.h"
#include "picture_decode.h"
#include "png_file.h"
#include "render.h"
#include "start_game.h"
#include "texture_font.h"
#include "window.h"
#include "xvfb_server.h"

namespace {

struct Rgb {
  int r, g, b;
};

constexpr Rgb kOrange{255, 120, 0};
constexpr Rgb kPeach{255, 228, 176};
constexpr Rgb kFoodRed{255, 0, 0};
constexpr Rgb kFoodPink{255, 173, 173};
constexpr Rgb kFieldYellow{254, 233, 0};
constexpr Rgb kFieldDark{44, 44, 42};
constexpr Rgb kPanelLowLeft{191, 191, 179};
constexpr Rgb kPanelLowRight{191, 191, 191};
constexpr Rgb kPanelPink{255, 140, 140};
constexpr Rgb kBrown{153, 102, 31};

bool Near(Rgb got, Rgb want, int tolerance) {
  return std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
         std::abs(got.b - want.b) <= tolerance;
}

std::string Describe(Rgb c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

Rgb Mix(Rgb from, Rgb to, double t) {
  auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
  return {mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
}

bool IsTextYellow(Rgb c) {
  return c.r > 230 && c.g > 230 && c.b < 40;
}
bool IsBrown(Rgb c) {
  return Near(c, kBrown, 12);
}

class XDisplayEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(server_.Start()) << "the frame tests draw in a private Xvfb and could not start "
                                    "one: "
                                 << server_.error();
    setenv("DISPLAY", server_.display().c_str(), 1);
    int argc = 1;
    char name[] = "frame_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(kStartWindowWidth, kStartWindowHeight);
    glutCreateWindow("frame tests");
    // freeglut insists on a display callback; the tests draw and read back frames themselves.
    glutDisplayFunc([] {});
    InitGraphics();
  }
  void TearDown() override {
    glutExit();
    server_.Stop();
  }

 private:
  XvfbServer server_;
};

[[maybe_unused]] const auto* const kDisplay =
    ::testing::AddGlobalTestEnvironment(new XDisplayEnvironment);

// A captured back buffer, bottom row first, with the world-to-pixel scale of its frame.
struct Capture {
  int width = 0;
  int height = 0;
  double scale = 1.0;  // pixels per world unit, the same on both axes
  std::vector<unsigned char> rgba;

  Rgb At(int x, int y) const {
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2]};
  }
  int Px(double world) const { return static_cast<int>(std::floor(world * scale)); }
  // The first and the last pixel whose centre lies in [from, to) along one axis: the pixels a
  // polygon spanning that range covers.
  int FirstInside(double from) const { return static_cast<int>(std::ceil(from * scale - 0.5)); }
  int LastInside(double to) const { return static_cast<int>(std::ceil(to * scale - 0.5)) - 1; }
  // The colour at the pixel holding world point (x, y).
  Rgb AtWorld(double x, double y) const { return At(Px(x), Px(y)); }
  // World coordinate of a pixel's centre.
  double World(int pixel) const { return (pixel + 0.5) / scale; }
};

// The bounding box of the pixels inside a search rectangle that pass a test.
struct Box {
  int left = INT_MAX, bottom = INT_MAX, right = INT_MIN, top = INT_MIN, count = 0;
};

template <typename Test>
Box Find(const Capture& c, int x0, int y0, int x1, int y1, Test test) {
  Box box;
  for (int y = std::max(y0, 0); y <= std::min(y1, c.height - 1); ++y) {
    for (int x = std::max(x0, 0); x <= std::min(x1, c.width - 1); ++x) {
      if (!test(c.At(x, y))) continue;
      box = {std::min(box.left, x), std::min(box.bottom, y), std::max(box.right, x),
             std::max(box.top, y), box.count + 1};
    }
  }
  return box;
}

int TextWidth(void* font, const char* text) {
  return glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text));
}

// A bitmap in the loader's form; the record and the frame point into it.
struct TestPicture {
  Bytes info;
  Bytes pixels;
  BitmapInfo* Info() { return reinterpret_cast<BitmapInfo*>(info.data()); }
  BitmapSizes Sizes() const {
    return {static_cast<uint32_t>(info.size()), static_cast<uint32_t>(pixels.size())};
  }
};

// An uncompressed 24-bit bottom-up picture; rows below blackRows are black, the rest white.
TestPicture PlainPicture(int width, int height, int blackRows = 0) {
  TestPicture p{Info(40, width, height, 24), Bytes(BgrRowLength(width) * height, 0)};
  for (int y = blackRows; y < height; ++y) {
    std::fill_n(p.pixels.begin() + y * BgrRowLength(width), width * 3, 0xFF);
  }
  return p;
}

void ShowWindowOfSize(int width, int height) {
  glutReshapeWindow(width, height);
  for (int i = 0; i < 400; ++i) {
    if (glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height) break;
    glutMainLoopEvent();
    usleep(5000);
  }
  ASSERT_EQ(glutGet(GLUT_WINDOW_WIDTH), width);
  ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT), height);
  glutSwapBuffers();
  OnReshape(width, height);
}

void SavePng(const Capture& c, const std::string& name) {
  std::vector<unsigned char> rgb(static_cast<size_t>(c.width) * c.height * 3);
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      Rgb p = c.At(x, c.height - 1 - y);
      unsigned char* out = &rgb[(static_cast<size_t>(y) * c.width + x) * 3];
      out[0] = static_cast<unsigned char>(p.r);
      out[1] = static_cast<unsigned char>(p.g);
      out[2] = static_cast<unsigned char>(p.b);
    }
  }
  std::string path = std::string(VELMORAK_FRAME_DIR) + "/" + name;
  EXPECT_TRUE(WritePng(path, c.width, c.height, rgb)) << path;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameState = GameRecord();
    PlaceHeadAtStart();
    playfield_ = PlainPicture(64, 64);
    panel_ = PlainPicture(64, 16);
    UsePictures(&playfield_, &panel_);
    ShowWindowOfSize(kStartWindowWidth, kStartWindowHeight);
    SetTextureTextScale(1);
  }

  // Hands the pictures to the record and readies them as start-up does; null leaves a slot
  // without a picture, as a failed load would.
  static void UsePictures(TestPicture* playfield, TestPicture* panel) {
    GameState.backgroundInfo = playfield != nullptr ? playfield->Info() : nullptr;
    GameState.backgroundPixels = playfield != nullptr ? playfield->pixels.data() : nullptr;
    GameState.skyInfo = panel != nullptr ? panel->Info() : nullptr;
    GameState.skyPixels = panel != nullptr ? panel->pixels.data() : nullptr;
    EXPECT_EQ(PreparePicture(PlayfieldPicture, GameState.backgroundInfo, GameState.backgroundPixels,
                             playfield != nullptr ? playfield->Sizes() : BitmapSizes{}),
              playfield != nullptr);
    EXPECT_EQ(PreparePicture(PanelPicture, GameState.skyInfo, GameState.skyPixels,
                             panel != nullptr ? panel->Sizes() : BitmapSizes{}),
              panel != nullptr);
  }

  static Capture Draw() {
    while (glGetError() != GL_NO_ERROR) {
    }
    DrawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    Capture c;
    c.width = glutGet(GLUT_WINDOW_WIDTH);
    c.height = glutGet(GLUT_WINDOW_HEIGHT);
    c.scale = c.width / static_cast<double>(GameState.worldWidth);
    c.rgba.resize(static_cast<size_t>(c.width) * c.height * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, c.width, c.height, GL_RGBA, GL_UNSIGNED_BYTE, c.rgba.data());
    return c;
  }

  TestPicture playfield_;
  TestPicture panel_;
};

// The first and last pixel columns inside a square, along its middle row, against the colours
// its left and right edges blend between.
void ExpectSquare(const Capture& c, double x, double y, Rgb left, Rgb right) {
  double side = GameState.blockSize;
  int row = c.Px(y + side / 2);
  for (int px : {c.FirstInside(x), c.LastInside(x + side)}) {
    Rgb want = Mix(left, right, (c.World(px) - x) / side);
    Rgb got = c.At(px, row);
    EXPECT_TRUE(Near(got, want, 8))
        << "pixel " << px << "," << row << " of the square at " << x << "," << y << ": got "
        << Describe(got) << " want " << Describe(want);
  }
}

// The vertex colours at the corners of both strips, probed two pixels inside each corner.
void ExpectStripCorners(const Capture& c) {
  int right = c.width - 3;
  int border = c.Px(GameState.worldHeight - GameState.panelHeight);
  int top = c.height - 3;
  struct {
    const char* corner;
    int x, y;
    Rgb want;
  } corners[] = {
      {"playfield lower left", 2, 2, kFieldYellow},
      {"playfield lower right", right, 2, kFieldDark},
      {"playfield upper right", right, border - 3, kFieldYellow},
      {"playfield upper left", 2, border - 3, kFieldDark},
      {"panel lower left", 2, border + 2, kPanelLowLeft},
      {"panel lower right", right, border + 2, kPanelLowRight},
      {"panel upper right", right, top, kPanelPink},
      {"panel upper left", 2, top, kPanelPink},
  };
  for (const auto& k : corners) {
    Rgb got = c.At(k.x, k.y);
    EXPECT_TRUE(Near(got, k.want, 10))
        << k.corner << " at pixel " << k.x << "," << k.y << ": got " << Describe(got);
  }
}

// A panel text: its yellow pixels start at its raster position and are as wide as the font
// makes the text. Glyphs with descenders reach a few pixels below the baseline.
struct TextSpot {
  const char* text;
  double x, y;
  void* font;
  bool descends;
};

// clipRight cuts the search short of a neighbour that the font's pixel size pushes into the
// text on small windows; the width is then not checked.
void ExpectText(const Capture& c, const TextSpot& t, bool (*colour)(Rgb), int clipRight = INT_MAX) {
  int x = c.Px(t.x);
  int y = c.Px(t.y);
  int width = TextWidth(t.font, t.text);
  int tall = t.font == GLUT_BITMAP_HELVETICA_18 ? 15 : 10;
  // Below the baseline only as far as descenders reach: texts of the line below come close.
  Box box = Find(c, x - 4, y - (t.descends ? 4 : 2), std::min(x + width + 4, clipRight), y + tall,
                 colour);
  ASSERT_GT(box.count, 0) << "no pixels of \"" << t.text << "\" near " << x << "," << y;
  EXPECT_GE(box.left, x) << t.text;  // glyphs start a pixel or so right of the raster position
  EXPECT_LE(box.left, x + 2) << t.text;
  if (clipRight == INT_MAX) {
    EXPECT_NEAR(box.right - box.left + 1, width, 4) << t.text;
  }
  if (t.descends) {
    EXPECT_NEAR(box.bottom, y - 3, 2) << t.text;
  } else {
    // The baseline row exactly: trunc(H - 15) and a rounded H - 15 differ by a whole unit.
    EXPECT_GE(box.bottom, c.Px(t.y - 0.01)) << t.text;
    EXPECT_LE(box.bottom, c.Px(t.y + 0.01)) << t.text;
  }
}

std::vector<TextSpot> PanelTexts(double h) {
  auto trunc = [](double v) { return static_cast<double>(static_cast<int>(v)); };
  return {
      {"Velmorak Revir", 10, trunc(h - 15), GLUT_BITMAP_HELVETICA_18, false},
      {"Press F1 to pause", 150, trunc(h - 30), GLUT_BITMAP_HELVETICA_12, true},
      {"Score :", 10, trunc(h - 30), GLUT_BITMAP_HELVETICA_12, false},
      {GameState.scoreText, 60, trunc(h - 30), GLUT_BITMAP_HELVETICA_12, false},
      {"Dedicated to Tavrin", 130, trunc(h - 20), GLUT_BITMAP_HELVETICA_12, false},
  };
}

TEST_F(FrameTest, StartFrame) {
  Capture c = Draw();
  SavePng(c, "start_frame.png");
  ASSERT_EQ(c.width, 350);
  ASSERT_EQ(c.height, 385);
  EXPECT_DOUBLE_EQ(c.scale, 1.4);
  EXPECT_STREQ(GameState.scoreText, "1");

  ExpectSquare(c, 100, 100, kOrange, kPeach);
  ExpectSquare(c, 125, 130, kFoodRed, kFoodPink);
  ExpectStripCorners(c);
  for (const TextSpot& t : PanelTexts(275.0)) ExpectText(c, t, IsTextYellow);
  EXPECT_EQ(Find(c, 0, 0, c.width, c.height, IsBrown).count, 0) << "a state text without a flag";

  // The border between the strips, on the right where no text is: yellow below, grey above.
  int column = c.width - 10;
  int border = 0;
  while (border < c.height && c.At(column, border).b < 120) ++border;
  EXPECT_NEAR(border, 336, 1) << "panel border at y = H - P = 240 units";
}

TEST_F(FrameTest, GameOverFrame) {
  GameState.showGameOver = 1;
  GameState.paused = 1;
  GameState.gameOver = 1;
  GameState.segmentCount = 4;
  float segments[][2] = {{100, 130}, {127, 134}, {130, 134}, {200, 250}};
  for (int i = 0; i < 4; ++i) {
    GameState.segmentX[i] = segments[i][0];
    GameState.segmentY[i] = segments[i][1];
  }
  GameState.foodX = 125;
  GameState.foodY = 132;
  Capture c = Draw();
  SavePng(c, "game_over_frame.png");
  EXPECT_STREQ(GameState.scoreText, "4");

  EXPECT_GT(Find(c, c.Px(100), c.Px(130) - 5, c.width, c.Px(130) + 20, IsBrown).count, 50)
      << "\"Game Over!\" in brown at (100, 130)";
  // Squares win over glyphs at equal depth (drawn first), over the food (segments come first),
  // and the head over the next segment; the one in the panel stays in front of that strip.
  ExpectSquare(c, 100, 130, kOrange, kPeach);
  ExpectSquare(c, 127, 134, kOrange, kPeach);
  ExpectSquare(c, 200, 250, kOrange, kPeach);
  int overlapX = c.Px(132.5);
  Rgb overlap = c.At(overlapX, c.Px(137.5));
  Rgb first = Mix(kOrange, kPeach, (c.World(overlapX) - 127) / 7);
  EXPECT_TRUE(Near(overlap, first, 8)) << "segment 1 over segment 2: " << Describe(overlap);
  int foodX = c.Px(125.5);
  Rgb food = c.At(foodX, c.Px(133.5));
  Rgb foodWant = Mix(kFoodRed, kFoodPink, (c.World(foodX) - 125) / 7);
  EXPECT_TRUE(Near(food, foodWant, 8)) << "the food left of the segments: " << Describe(food);
  for (int i = 0; i < 3; ++i) {
    double x = segments[i][0];
    double y = segments[i][1];
    Box brown = Find(c, c.FirstInside(x), c.FirstInside(y), c.LastInside(x + 7),
                     c.LastInside(y + 7), IsBrown);
    EXPECT_EQ(brown.count, 0) << "a glyph over segment " << i;
  }
}

TEST_F(FrameTest, StateTextsShowExactlyWhenTheirFlagIsOne) {
  struct {
    int32_t showGameOver, showPaused;
    const char* shown;  // null: no state text
  } cases[] = {
      {0, 0, nullptr}, {1, 0, "Game Over!"}, {0, 1, "Paused"}, {2, 0, nullptr}, {0, -1, nullptr},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(std::to_string(k.showGameOver) + "/" + std::to_string(k.showPaused));
    GameState.showGameOver = k.showGameOver;
    GameState.showPaused = k.showPaused;
    Capture c = Draw();
    if (k.shown == nullptr) {
      EXPECT_EQ(Find(c, 0, 0, c.width, c.height, IsBrown).count, 0);
    } else {
      ExpectText(c, {k.shown, 100, 130, GLUT_BITMAP_HELVETICA_18, false}, IsBrown);
    }
  }
}

// The strips fill every window shape, the panel texts keep their distance from the top and the
// state text its place from the lower-left corner.
TEST_F(FrameTest, ResizedWindows) {
  struct {
    int width, height;
    double worldHeight;
  } sizes[] = {{500, 250, 250.0}, {350, 400, 400.0 * 250.0 / 350.0}, {350, 385, 275.0}};
  GameState.showPaused = 1;
  for (const auto& s : sizes) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    ShowWindowOfSize(s.width, s.height);
    Capture c = Draw();
    SavePng(c, "resized_" + std::to_string(s.width) + "x" + std::to_string(s.height) + ".png");
    ASSERT_EQ(c.width, s.width);
    ASSERT_EQ(c.height, s.height);
    EXPECT_NEAR(GameState.worldHeight, s.worldHeight, 1e-3);
    Box cleared = Find(c, 0, 0, c.width, c.height,
                       [](Rgb p) { return p.r == 0 && p.g == 0 && std::abs(p.b - 77) <= 1; });
    EXPECT_EQ(cleared.count, 0) << "the clear colour shows at " << cleared.left << ","
                                << cleared.bottom;
    ExpectStripCorners(c);
    std::vector<TextSpot> texts = PanelTexts(s.worldHeight);
    ExpectText(c, texts[0], IsTextYellow, c.Px(130) - 1);  // the title, left of the dedication
    ExpectText(c, texts[2], IsTextYellow);                 // "Score :"
    ExpectText(c, {"Paused", 100, 130, GLUT_BITMAP_HELVETICA_18, false}, IsBrown);
  }
}

// A strip whose picture is missing, refused or not the one readied shows its vertex colours
// alone, while the other strip keeps its (black) picture; the GL reports no error.
TEST_F(FrameTest, StripsWithoutAPictureShowTheirVertexColours) {
  TestPicture black = PlainPicture(8, 8, 8);
  TestPicture other = PlainPicture(8, 8, 8);
  enum Kind { Shown, Missing, NotReadied };
  struct {
    const char* name;
    Kind playfield, panel;
  } cases[] = {
      {"playfield missing", Missing, Shown},
      {"panel missing", Shown, Missing},
      {"both missing", Missing, Missing},
      {"record points at blocks never readied", NotReadied, Shown},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    UsePictures(k.playfield == Missing ? nullptr : &black, k.panel == Missing ? nullptr : &black);
    if (k.playfield == NotReadied) {
      GameState.backgroundInfo = other.Info();
      GameState.backgroundPixels = other.pixels.data();
    }
    Capture c = Draw();
    int border = c.Px(GameState.worldHeight - GameState.panelHeight);
    Rgb field = c.At(c.width - 3, 2);
    Rgb panel = c.At(c.width - 3, c.height - 3);
    if (k.playfield == Shown) {
      EXPECT_TRUE(Near(field, {0, 0, 0}, 4)) << Describe(field);
    } else {
      EXPECT_TRUE(Near(field, kFieldDark, 10)) << Describe(field);
      EXPECT_TRUE(Near(c.At(2, 2), kFieldYellow, 10));
    }
    if (k.panel == Shown) {
      EXPECT_TRUE(Near(panel, {0, 0, 0}, 4)) << Describe(panel);
    } else {
      EXPECT_TRUE(Near(panel, kPanelPink, 10)) << Describe(panel);
      EXPECT_TRUE(Near(c.At(c.width - 3, border + 2), kPanelLowRight, 10));
    }
  }
}

// Every kind of picture goes up with its bottom row along the strip's lower edge.
TEST_F(FrameTest, PicturesOfEveryKindShowUpright) {
  // 8 x 8, black in the lower half and white in the upper, encoded each way.
  auto plain = [](bool topDown) {
    TestPicture p = PlainPicture(8, 8, 4);
    if (topDown) {
      Put32(p.info, 8, static_cast<uint32_t>(-8));
      for (int y = 0; y < 4; ++y) {
        std::swap_ranges(p.pixels.begin() + y * 24, p.pixels.begin() + y * 24 + 24,
                         p.pixels.begin() + (7 - y) * 24);
      }
    }
    return p;
  };
  auto palette = [] {
    TestPicture p{WithPalette(Info(40, 8, 8, 8, 0, 2), {{0, 0, 0}, {255, 255, 255}}), Bytes(64, 0)};
    std::fill(p.pixels.begin() + 32, p.pixels.end(), 1);
    return p;
  };
  auto rle = [] {
    TestPicture p{WithPalette(Info(40, 8, 8, 8, 1, 2), {{0, 0, 0}, {255, 255, 255}}), {}};
    for (int y = 0; y < 8; ++y) {
      p.pixels.insert(p.pixels.end(), {8, static_cast<unsigned char>(y >= 4), 0, 0});
    }
    p.pixels.insert(p.pixels.end(), {0, 1});
    return p;
  };
  auto masked = [] {
    TestPicture p{WithMasks(Info(40, 8, 8, 16, 3), 0xF800, 0x07E0, 0x001F), Bytes(128, 0)};
    std::fill(p.pixels.begin() + 64, p.pixels.end(), 0xFF);
    return p;
  };
  struct {
    const char* name;
    TestPicture picture;
  } cases[] = {{"24-bit bottom-up", plain(false)},
               {"24-bit top-down", plain(true)},
               {"8-bit palette", palette()},
               {"RLE8", rle()},
               {"16-bit 5-6-5", masked()}};
  for (auto& k : cases) {
    SCOPED_TRACE(k.name);
    TestPicture panel = k.picture;
    UsePictures(&k.picture, &panel);
    Capture c = Draw();
    Rgb fieldLow = c.AtWorld(60, 50);
    Rgb fieldHigh = c.AtWorld(220, 200);
    Rgb panelLow = c.AtWorld(240, 244);
    Rgb panelHigh = c.AtWorld(240, 268);
    EXPECT_TRUE(Near(fieldLow, {0, 0, 0}, 6)) << Describe(fieldLow);
    EXPECT_GT(fieldHigh.r, 150) << Describe(fieldHigh);
    EXPECT_TRUE(Near(panelLow, {0, 0, 0}, 6)) << Describe(panelLow);
    EXPECT_TRUE(Near(panelHigh, kPanelPink, 16)) << Describe(panelHigh);
  }
}

// Start-up refuses what the GL could not take safely.
TEST_F(FrameTest, PreparePictureRefusesUnsafePictures) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  ASSERT_GT(largest, 0);
  TestPicture exact = PlainPicture(5, 3);
  TestPicture unpadded = PlainPicture(5, 3);
  unpadded.pixels.pop_back();  // the last row's fill byte, which the GL would read
  TestPicture cut = PlainPicture(5, 3);
  cut.pixels.resize(cut.pixels.size() - 2);  // into the last row's pixels
  TestPicture wide = PlainPicture(largest + 1, 1);
  TestPicture jpeg{Info(40, 4, 4, 24, 4), Bytes(64, 0)};
  TestPicture palette{WithPalette(Info(40, 4, 1, 8), {{1, 2, 3}}), Bytes(4, 0)};
  struct {
    const char* name;
    PictureSlot slot;
    TestPicture* picture;
    BitmapSizes sizes;
    bool ready;
  } cases[] = {
      {"rows inside the buffer", PanelPicture, &exact, exact.Sizes(), true},
      {"last row without its fill byte is converted", PanelPicture, &unpadded, unpadded.Sizes(),
       true},
      {"last row cut short", PanelPicture, &cut, cut.Sizes(), false},
      {"wider than the GL's largest texture", PlayfieldPicture, &wide, wide.Sizes(), false},
      {"an encoding nothing reads", PlayfieldPicture, &jpeg, jpeg.Sizes(), false},
      {"an 8-bit picture is converted", PlayfieldPicture, &palette, palette.Sizes(), true},
      {"block lengths unknown", PanelPicture, &exact, BitmapSizes{}, false},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(PreparePicture(k.slot, k.picture->Info(), k.picture->pixels.data(), k.sizes), k.ready)
        << k.name;
  }
}

// The frame never reads past the 1000-entry segment arrays, whatever segmentCount says, and the
// digits always fit scoreText.
TEST_F(FrameTest, SegmentCountBeyondTheArrays) {
  for (int i = 0; i < kMaxSegments; ++i) {
    GameState.segmentX[i] = 20.0f;
    GameState.segmentY[i] = 20.0f;
  }
  struct {
    int32_t count;
    const char* digits;
  } cases[] = {{1001, "1001"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}, {0, "0"}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.digits);
    GameState.segmentCount = k.count;
    GameState.scoreText[0] = '\0';
    Capture c = Draw();
    EXPECT_STREQ(GameState.scoreText, k.digits);
    // Entry 1000 would be read from the memory behind segmentX, that is segmentY[0] (20), and
    // behind segmentY, the empty scoreText (0): a square at (20, 0) must not appear.
    Rgb phantom = c.AtWorld(23.5, 3.5);
    EXPECT_LT(phantom.b, 40) << Describe(phantom);
    bool drawn = k.count > 0;
    Rgb square = c.AtWorld(23.5, 23.5);
    EXPECT_EQ(square.b > 40, drawn) << Describe(square);
  }
}

// The browser's texture font against GLUT's bitmap text: the same pixels, byte for byte, for
// every printable character of both fonts, on windows whose scale puts the raster position on
// and between pixels, in front of the strips and behind a square drawn before it.
TEST_F(FrameTest, TextureFontMatchesGlutText) {
  std::string printable;
  for (int c = 32; c < 127; ++c) printable += static_cast<char>(c);
  std::string latin1;
  for (int c = 160; c < 256; ++c) latin1 += static_cast<char>(c);
  struct {
    const char* text;
    GLint x;
    double fromTop;  // the raster position's y is trunc(H - fromTop); 0 puts it at y 130
    TextFont font;
    Rgb colour;
  } texts[] = {
      {printable.c_str(), 2, 15, TextFont::Helvetica18, {255, 255, 0}},
      {printable.c_str(), 3, 45, TextFont::Helvetica12, {255, 255, 0}},
      {latin1.c_str(), 1, 70, TextFont::Helvetica18, {0, 255, 255}},
      {latin1.c_str(), 1, 95, TextFont::Helvetica12, {255, 255, 255}},
      {"Game Over!", 100, 0, TextFont::Helvetica18, {153, 102, 31}},
      {"Dedicated to Tavrin", 130, 20, TextFont::Helvetica12, {255, 255, 0}},
  };
  struct {
    int width, height;
  } sizes[] = {{350, 385}, {350, 400}, {501, 263}, {777, 433}};
  for (const auto& size : sizes) {
    ShowWindowOfSize(size.width, size.height);
    for (const auto& t : texts) {
      SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " \"" + t.text +
                   "\"");
      GLint y = t.fromTop == 0 ? 130 : static_cast<GLint>(GameState.worldHeight - t.fromTop);
      // A square over the text's start, drawn first as the frame draws its squares.
      GameState.segmentX[0] = static_cast<float>(t.x + 3);
      GameState.segmentY[0] = static_cast<float>(y);
      Capture with[2];
      for (int way = 0; way < 2; ++way) {
        DrawFrame();
        glColor3ub(static_cast<GLubyte>(t.colour.r), static_cast<GLubyte>(t.colour.g),
                   static_cast<GLubyte>(t.colour.b));
        // The frame leaves the identity in the model-view matrix; the texts are drawn in it.
        if (way == 0) {
          DrawBitmapText(t.x, y, t.font, t.text);
        } else {
          DrawTextureText(t.x, y, t.font, t.text);
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        Capture& c = with[way];
        c.width = size.width;
        c.height = size.height;
        c.rgba.resize(static_cast<size_t>(c.width) * c.height * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, c.width, c.height, GL_RGBA, GL_UNSIGNED_BYTE, c.rgba.data());
      }
      int differing = 0, firstX = -1, firstY = -1;
      for (int py = 0; py < size.height; ++py) {
        for (int px = 0; px < size.width; ++px) {
          Rgb a = with[0].At(px, py), b = with[1].At(px, py);
          if (a.r == b.r && a.g == b.g && a.b == b.b) continue;
          if (differing++ == 0) firstX = px, firstY = py;
        }
      }
      EXPECT_EQ(differing, 0) << "first at " << firstX << "," << firstY;
      if (differing != 0) {
        SavePng(with[0], "font_glut.png");
        SavePng(with[1], "font_texture.png");
      }
    }
  }
}

// The page's canvas where the screen has several pixels to a CSS pixel: the texture font at a
// whole-number scale in a window that many times larger puts down GLUT's text of the window at 1
// as blocks of scale x scale pixels, starting where the raster position falls in the larger
// window. The text is as large on the screen as at a ratio of 1, with every edge sharp.
TEST_F(FrameTest, ScaledTextureTextIsGlutTextInWholeBlocks) {
  const struct {
    int scale, width, height;
  } windows[] = {{2, 350, 360}, {2, 501, 263}, {3, 300, 250}};
  const struct {
    const char* text;
    GLint x;
    double fromTop;
    TextFont font;
  } texts[] = {{"Velmorak Revir", 10, 15, TextFont::Helvetica18},
               {"Score : 123  Press F1 to pause, gjpqy", 10, 30, TextFont::Helvetica12},
               {"Game Over!", 100, 0, TextFont::Helvetica18}};
  for (const auto& w : windows) {
    for (const auto& t : texts) {
      SCOPED_TRACE(std::to_string(w.width) + "x" + std::to_string(w.height) + " at " +
                   std::to_string(w.scale) + " \"" + t.text + "\"");
      Capture at[2];
      for (int way = 0; way < 2; ++way) {
        const int scale = way == 0 ? 1 : w.scale;
        ShowWindowOfSize(w.width * scale, w.height * scale);
        SetTextureTextScale(scale);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor3ub(255, 255, 0);
        const GLint y =
            t.fromTop == 0 ? 130 : static_cast<GLint>(GameState.worldHeight - t.fromTop);
        if (way == 0) {
          DrawBitmapText(t.x, y, t.font, t.text);
        } else {
          DrawTextureText(t.x, y, t.font, t.text);
        }
        Capture& c = at[way];
        c.width = w.width * scale;
        c.height = w.height * scale;
        c.rgba.resize(static_cast<size_t>(c.width) * c.height * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, c.width, c.height, GL_RGBA, GL_UNSIGNED_BYTE, c.rgba.data());
      }
      SetTextureTextScale(1);
      const Box one = Find(at[0], 0, 0, at[0].width, at[0].height, IsTextYellow);
      const Box big = Find(at[1], 0, 0, at[1].width, at[1].height, IsTextYellow);
      ASSERT_GT(one.count, 0);
      EXPECT_EQ(big.count, one.count * w.scale * w.scale);
      EXPECT_EQ(big.right - big.left + 1, (one.right - one.left + 1) * w.scale);
      EXPECT_EQ(big.top - big.bottom + 1, (one.top - one.bottom + 1) * w.scale);
      EXPECT_GE(big.left - one.left * w.scale, 0);
      EXPECT_LT(big.left - one.left * w.scale, w.scale);
      int differing = 0;
      for (int py = big.bottom; py <= big.top; ++py) {
        for (int px = big.left; px <= big.right; ++px) {
          const Rgb small = at[0].At(one.left + (px - big.left) / w.scale,
                                     one.bottom + (py - big.bottom) / w.scale);
          if (IsTextYellow(at[1].At(px, py)) != IsTextYellow(small)) ++differing;
        }
      }
      EXPECT_EQ(differing, 0);
      if (differing != 0) {
        SavePng(at[0], "font_scale_1.png");
        SavePng(at[1], "font_scaled.png");
      }
    }
  }
}

}  // namespace
