// The decoder on small hand-made bitmaps: every kind it reads, and hostile blocks it must
// survive (runs off the row, indices past the table, masks of 0, cut-off rows, absurd sizes),
// in each row layout it writes.
#include "picture_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_builder.h"

namespace {

constexpr Bgr kBlack{0, 0, 0};
constexpr Bgr kRed{0, 0, 255};
constexpr Bgr kGreen{0, 255, 0};
constexpr Bgr kBlue{255, 0, 0};
constexpr Bgr kWhite{255, 255, 255};
const std::vector<Bgr> kFourColours = {kBlack, kRed, kGreen, kBlue};
const std::vector<Bgr> kSevenColours = {kBlack, kRed, kGreen, kBlue, kWhite, {1, 2, 3}, {9, 8, 7}};

struct Probe {
  int x, y;  // y counts from the bottom row, as the decoded rows do
  Bgr want;
};

struct Case {
  std::string name;
  Bytes info;
  Bytes pixels;
  bool shows;
  std::vector<Probe> probes;
};

std::vector<Case> KindsThatShow() {
  return {
      {"1-bit: leftmost pixel in the high bit",
       WithPalette(Info(40, 10, 1, 1), {kBlack, kWhite}),
       {0x80, 0x40, 0, 0},
       true,
       {{0, 0, kWhite}, {1, 0, kBlack}, {9, 0, kWhite}}},
      {"2-bit",
       WithPalette(Info(40, 4, 1, 2), kFourColours),
       {0x1B, 0, 0, 0},
       true,
       {{0, 0, kBlack}, {1, 0, kRed}, {2, 0, kGreen}, {3, 0, kBlue}}},
      {"4-bit",
       WithPalette(Info(40, 3, 1, 4), kFourColours),
       {0x12, 0x30, 0, 0},
       true,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}}},
      {"8-bit index beyond biClrUsed is black",
       WithPalette(Info(40, 2, 1, 8, 0, 1), {kRed, kBlue}),
       {0, 1, 0, 0},
       true,
       {{0, 0, kRed}, {1, 0, kBlack}}},
      {"8-bit table cut short by the info block",
       WithPalette(Info(40, 2, 1, 8), {kRed, kBlue}),
       {1, 5, 0, 0},
       true,
       {{0, 0, kBlue}, {1, 0, kBlack}}},
      {"OS/2 core header, 3-byte table entries",
       WithPalette(CoreInfo(2, 1, 8), kFourColours, 3),
       {3, 1, 0, 0},
       true,
       {{0, 0, kBlue}, {1, 0, kRed}}},
      {"24-bit bottom-up keeps its row order",
       Info(40, 1, 2, 24),
       {1, 2, 3, 0, 4, 5, 6, 0},
       true,
       {{0, 0, {1, 2, 3}}, {0, 1, {4, 5, 6}}}},
      {"24-bit top-down is turned over",
       Info(40, 1, -2, 24),
       {1, 2, 3, 0, 4, 5, 6, 0},
       true,
       {{0, 0, {4, 5, 6}}, {0, 1, {1, 2, 3}}}},
      {"last row without its fill bytes",
       Info(40, 1, 2, 24),
       {1, 2, 3, 0, 4, 5, 6},
       true,
       {{0, 1, {4, 5, 6}}}},
      {"16-bit defaults to 5-5-5",
       Info(40, 4, 1, 16),
       Pixels16({0x7C00, 0x03E0, 0x001F, 0x4210}),
       true,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {3, 0, {132, 132, 132}}}},
      {"16-bit 5-6-5 bit fields",
       WithMasks(Info(40, 4, 1, 16, 3), 0xF800, 0x07E0, 0x001F),
       Pixels16({0xF800, 0x07E0, 0x001F, 0x0400}),
       true,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {3, 0, {0, 130, 0}}}},
      {"32-bit ignores alpha",
       Info(40, 1, 1, 32),
       {0x33, 0x22, 0x11, 0x80},
       true,
       {{0, 0, {0x33, 0x22, 0x11}}}},
      {"32-bit bit fields inside a V5 header",
       [] {
         Bytes info = Info(124, 1, 1, 32, 3);
         Put32(info, 40, 0x000000FF);
         Put32(info, 44, 0x0000FF00);
         Put32(info, 48, 0x00FF0000);
         Put32(info, 52, 0xFF000000);
         return info;
       }(),
       {0x11, 0x22, 0x33, 0x44},
       true,
       {{0, 0, {0x33, 0x22, 0x11}}}},
      {"masks of 0 give black",
       WithMasks(Info(40, 1, 1, 32, 3), 0, 0, 0),
       {9, 9, 9, 9},
       true,
       {{0, 0, kBlack}}},
  };
}

// RLE8 unless the header says 4 bits; the palette is kSevenColours.
Bytes RleInfo(int32_t width, int32_t height, uint16_t bits = 8) {
  return WithPalette(Info(40, width, height, bits, bits == 8 ? 1 : 2), kSevenColours);
}

std::vector<Case> RunLengthCases() {
  return {
      {"RLE8 run off the row is dropped, not wrapped",
       RleInfo(2, 2),
       {3, 1, 0, 0, 1, 2, 0, 1},
       true,
       {{0, 0, kRed}, {1, 0, kRed}, {0, 1, kGreen}, {1, 1, kBlack}}},
      {"RLE8 delta skips pixels, left black",
       RleInfo(3, 2),
       {0, 2, 1, 1, 1, 3, 0, 1},
       true,
       {{0, 0, kBlack}, {1, 1, kBlue}, {2, 1, kBlack}}},
      {"RLE8 delta beyond the picture draws nothing",
       RleInfo(2, 2),
       {0, 2, 255, 255, 2, 1},
       true,
       {{0, 0, kBlack}, {1, 1, kBlack}}},
      {"RLE8 absolute run skips its fill byte",
       RleInfo(4, 1),
       {0, 3, 1, 2, 3, 0, 1, 4, 0, 1},
       true,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {3, 0, kWhite}}},
      {"RLE8 absolute run past the stream's end",
       RleInfo(4, 1),
       {0, 200, 1, 2},
       true,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlack}}},
      {"RLE8 stream cut inside a delta", RleInfo(2, 1), {1, 3, 0, 2, 5}, true, {{0, 0, kBlue}}},
      {"RLE8 rows beyond the height are ignored",
       RleInfo(1, 1),
       {0, 0, 0, 0, 0, 0, 1, 2},
       true,
       {{0, 0, kBlack}}},
      {"RLE4 run alternates its two nibbles",
       RleInfo(5, 1, 4),
       {5, 0x12, 0, 1},
       true,
       {{0, 0, kRed}, {1, 0, kGreen}, {4, 0, kRed}}},
      {"RLE4 odd absolute run and its fill byte",
       RleInfo(6, 1, 4),
       {0, 5, 0x12, 0x34, 0x50, 0, 1, 0x66, 0, 1},
       true,
       {{0, 0, kRed}, {3, 0, kWhite}, {4, 0, {1, 2, 3}}, {5, 0, {9, 8, 7}}}},
  };
}

std::vector<Case> Refusals() {
  Bytes anyPixels(64, 0);
  return {
      {"width 0", Info(40, 0, 1, 24), anyPixels, false, {}},
      {"height 0", Info(40, 1, 0, 24), anyPixels, false, {}},
      {"negative width", Info(40, -1, 1, 24), anyPixels, false, {}},
      {"height INT_MIN", Info(40, 1, INT_MIN, 24), anyPixels, false, {}},
      {"side beyond the cap", Info(40, kPictureMaxSide + 1, 1, 24), anyPixels, false, {}},
      {"area beyond the cap", Info(40, 8192, 4096, 24), anyPixels, false, {}},
      {"3 bits per pixel", Info(40, 1, 1, 3), anyPixels, false, {}},
      {"64 bits per pixel", Info(40, 1, 1, 64), anyPixels, false, {}},
      {"core header with 0 bits per pixel", CoreInfo(256, 1, 0), anyPixels, false, {}},
      {"core header with 12 bits per pixel", CoreInfo(1, 1, 12), anyPixels, false, {}},
      {"JPEG inside a bitmap", Info(40, 1, 1, 24, 4), anyPixels, false, {}},
      {"RLE8 with 4 bits", Info(40, 1, 1, 4, 1), anyPixels, false, {}},
      {"bit fields on 24 bits", WithMasks(Info(40, 1, 1, 24, 3), 1, 2, 4), anyPixels, false, {}},
      {"bit fields with the masks missing", Info(40, 1, 1, 32, 3), anyPixels, false, {}},
      {"top-down RLE", RleInfo(1, -1), {1, 1, 0, 1}, false, {}},
      {"OS/2 2.x Huffman", Info(64, 8, 1, 1, 3), anyPixels, false, {}},
      {"unknown header size", Info(20, 1, 1, 24), anyPixels, false, {}},
      {"header longer than the info block",
       [] {
         Bytes info = Info(124, 1, 1, 24);
         info.resize(108);
         return info;
       }(),
       anyPixels,
       false,
       {}},
      {"info block shorter than any header", Bytes{12, 0, 0, 0}, anyPixels, false, {}},
      {"rows cut short", Info(40, 1, 2, 24), {1, 2, 3, 0, 4, 5}, false, {}},
      {"8-bit rows cut short",
       WithPalette(Info(40, 5, 2, 8), kFourColours),
       {0, 0, 0, 0, 0, 0, 0},
       false,
       {}},
      {"no pixel buffer at all", Info(40, 1, 1, 24), {}, false, {}},
  };
}

constexpr PixelLayout kLayouts[] = {PixelLayout::kBottomUpBgrPadded,
                                     PixelLayout::kBottomUpRgbPacked};

const char* LayoutName(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::kBottomUpBgrPadded:
      return "BGR padded";
    case PixelLayout::kBottomUpRgbPacked:
      return "RGB packed";
  }
  return "an unknown layout";
}

bool Decode(const Case& c, PixelLayout layout, DecodedPicture* out) {
  return DecodePicture(c.info.data(), c.info.size(), c.pixels.empty() ? nullptr : c.pixels.data(),
                       c.pixels.size(), out, layout);
}

// The RGB rows must be the BGR ones, each pixel's outer bytes swapped and the row fill dropped.
void ExpectSwappedAndPacked(const DecodedPicture& rgb, const DecodedPicture& bgr) {
  ASSERT_EQ(rgb.width, bgr.width);
  ASSERT_EQ(rgb.height, bgr.height);
  for (int y = 0; y < bgr.height; ++y) {
    for (int x = 0; x < bgr.width; ++x) {
      const unsigned char* from = &bgr.pixels[y * BgrRowLength(bgr.width) + 3 * x];
      const unsigned char* to = &rgb.pixels[(static_cast<size_t>(y) * rgb.width + x) * 3];
      EXPECT_TRUE(to[0] == from[2] && to[1] == from[1] && to[2] == from[0])
          << "pixel " << x << "," << y;
    }
  }
}

void Check(const Case& c, PixelLayout layout) {
  SCOPED_TRACE(c.name + " as " + LayoutName(layout));
  DecodedPicture out;
  out.width = 99;  // leftovers of an earlier picture must not survive a refusal
  bool shown = Decode(c, layout, &out);
  ASSERT_EQ(shown, c.shows);
  if (!shown) {
    EXPECT_EQ(out.width, 0);
    EXPECT_TRUE(out.pixels.empty());
    return;
  }
  EXPECT_EQ(out.layout, layout);
  size_t stride = RowLength(out.width, layout);
  ASSERT_EQ(out.pixels.size(), stride * out.height);
  bool rgb = layout == PixelLayout::kBottomUpRgbPacked;
  for (const Probe& p : c.probes) {
    ASSERT_LT(p.x, out.width);
    ASSERT_LT(p.y, out.height);
    const unsigned char* got = &out.pixels[p.y * stride + 3 * p.x];
    EXPECT_EQ(got[rgb ? 2 : 0], p.want.b) << "blue at " << p.x << "," << p.y;
    EXPECT_EQ(got[1], p.want.g) << "green at " << p.x << "," << p.y;
    EXPECT_EQ(got[rgb ? 0 : 2], p.want.r) << "red at " << p.x << "," << p.y;
  }
  if (rgb) {
    DecodedPicture bgr;
    ASSERT_TRUE(Decode(c, PixelLayout::kBottomUpBgrPadded, &bgr));
    ExpectSwappedAndPacked(out, bgr);
  }
}

void CheckAll(const std::vector<Case>& cases) {
  for (PixelLayout layout : kLayouts) {
    for (const Case& c : cases) Check(c, layout);
  }
}

TEST(PictureDecode, ReadsEveryKind) {
  CheckAll(KindsThatShow());
}

TEST(PictureDecode, RunLengthStreamsStayInsideThePicture) {
  CheckAll(RunLengthCases());
}

TEST(PictureDecode, RefusesWhatItCannotShowFaithfully) {
  CheckAll(Refusals());
  Case sound{"a layout nobody asked for", Info(40, 1, 1, 24), {1, 2, 3, 0}, false, {}};
  Check(sound, static_cast<PixelLayout>(2));
}

TEST(PictureDecode, RowLengthsOfEachLayout) {
  struct {
    int32_t width;
    size_t bgr, rgb;
  } cases[] = {{0, 0, 0}, {-3, 0, 0}, {1, 4, 3}, {3, 12, 9}, {4, 12, 12}, {5, 16, 15}};
  for (const auto& c : cases) {
    EXPECT_EQ(RowLength(c.width, PixelLayout::kBottomUpBgrPadded), c.bgr) << c.width;
    EXPECT_EQ(BgrRowLength(c.width), c.bgr) << c.width;
    EXPECT_EQ(RowLength(c.width, PixelLayout::kBottomUpRgbPacked), c.rgb) << c.width;
  }
}

// Only uncompressed 24-bit bottom-up pictures may skip decoding.
TEST(PictureDecode, PlainPicturesAreRecognised) {
  struct {
    const char* name;
    Bytes info;
    bool plain;
  } cases[] = {
      {"24-bit bottom-up", Info(40, 3, 2, 24), true},
      {"24-bit with a V5 header", Info(124, 3, 2, 24), true},
      {"24-bit top-down", Info(40, 3, -2, 24), false},
      {"32-bit", Info(40, 3, 2, 32), false},
      {"8-bit", Info(40, 3, 2, 8), false},
      {"24-bit RLE24 of OS/2", Info(64, 3, 2, 24, 4), false},
      {"core header", CoreInfo(3, 2, 24), false},
      {"side beyond the cap", Info(40, kPictureMaxSide + 1, 1, 24), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPlainBgrPicture(c.info.data(), c.info.size()), c.plain) << c.name;
  }
}

}  // namespace
