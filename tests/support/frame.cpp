// Probes on grabbed frames: colours with a tolerance, the state texts, and the squares of the
// serpent and the food found as blobs of their shaded colours.
#include "frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

Rgb Frame::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {-1000, -1000, -1000};
  const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return {p[0], p[1], p[2]};
}

bool Frame::operator==(const Frame& other) const {
  return width == other.width && height == other.height && rgb == other.rgb;
}

double Frame::Scale() const {
  return std::min(width, height) / 250.0;
}

int Frame::ColumnOf(double worldX) const {
  return static_cast<int>(std::floor(worldX * Scale()));
}

int Frame::RowOf(double worldY) const {
  return height - 1 - static_cast<int>(std::floor(worldY * Scale()));
}

Rgb Frame::AtWorld(double worldX, double worldY) const {
  return At(ColumnOf(worldX), RowOf(worldY));
}

namespace {

PixelRect Clip(const Frame& frame, PixelRect r) {
  return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, frame.width),
          std::min(r.bottom, frame.height)};
}

// A segment runs from orange (255,120,0) on its left to peach (255,228,176) on its right; no
// texel under the strips' tints reaches that blue at that red.
bool IsSegmentColour(Rgb c) {
  if (c.r < 240 || c.g < 110 || c.g > 238) return false;
  double expectedBlue = (c.g - 120) * 176.0 / 108.0;
  return std::abs(c.b - expectedBlue) <= 24.0;
}

// Food runs from red (255,0,0) to pink (255,173,173): green and blue stay together.
bool IsFoodColour(Rgb c) {
  return c.r >= 240 && c.g <= 185 && std::abs(c.g - c.b) <= 16;
}

struct Blob {
  int left, top, right, bottom, pixels;
};

std::vector<Blob> FindBlobs(const Frame& frame, bool (*member)(Rgb)) {
  std::vector<char> seen(static_cast<size_t>(frame.width) * frame.height, 0);
  std::vector<Blob> blobs;
  std::vector<int> stack;
  for (int start = 0; start < frame.width * frame.height; ++start) {
    if (seen[start] || !member(frame.At(start % frame.width, start / frame.width))) continue;
    Blob blob{frame.width, frame.height, -1, -1, 0};
    seen[start] = 1;
    stack.push_back(start);
    while (!stack.empty()) {
      int at = stack.back();
      stack.pop_back();
      int x = at % frame.width;
      int y = at / frame.width;
      blob.left = std::min(blob.left, x);
      blob.right = std::max(blob.right, x + 1);
      blob.top = std::min(blob.top, y);
      blob.bottom = std::max(blob.bottom, y + 1);
      ++blob.pixels;
      const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
      for (const auto& n : next) {
        if (n[0] < 0 || n[1] < 0 || n[0] >= frame.width || n[1] >= frame.height) continue;
        int index = n[1] * frame.width + n[0];
        if (seen[index] || !member(frame.At(n[0], n[1]))) continue;
        seen[index] = 1;
        stack.push_back(index);
      }
    }
    blobs.push_back(blob);
  }
  return blobs;
}

}  // namespace

int CountPixels(const Frame& frame, PixelRect rect, Rgb colour, int tolerance) {
  PixelRect r = Clip(frame, rect);
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) count += Near(frame.At(x, y), colour, tolerance);
  return count;
}

int CountPixels(const Frame& frame, Rgb colour, int tolerance) {
  return CountPixels(frame, {0, 0, frame.width, frame.height}, colour, tolerance);
}

int RightmostColumn(const Frame& frame, PixelRect rect, Rgb colour, int tolerance) {
  PixelRect r = Clip(frame, rect);
  for (int x = r.right - 1; x >= r.left; --x)
    for (int y = r.top; y < r.bottom; ++y)
      if (Near(frame.At(x, y), colour, tolerance)) return x;
  return -1;
}

StateText FindStateText(const Frame& frame) {
  // Both texts start at the raster position (100, 130), 18-pixel Helvetica on its baseline.
  const int left = frame.ColumnOf(100.0);
  const int baseline = frame.RowOf(130.0);
  const PixelRect band{left - 4, baseline - 20, left + 140, baseline + 6};
  // The glyphs are bitmaps in one flat colour, so a tight tolerance keeps textures out.
  if (CountPixels(frame, band, kStateTextColour, 3) < 30) return StateText::NoText;
  // "Paused" is about 60 pixels wide, "Game Over!" about 95.
  int extent = RightmostColumn(frame, band, kStateTextColour, 3) - left;
  return extent > 78 ? StateText::GameOver : StateText::Paused;
}

int TitlePixels(const Frame& frame) {
  const double scale = frame.Scale();
  const int baseline = static_cast<int>(15 * scale);
  const int left = static_cast<int>(10 * scale);
  return CountPixels(frame, {left - 2, baseline - 14, left + 120, baseline + 3}, kPanelTextColour,
                     3);
}

std::vector<Square> FindSquares(const Frame& frame, SquareKind kind) {
  const double scale = frame.Scale();
  const double side = 7.0 * scale;
  std::vector<Square> squares;
  for (const Blob& blob :
       FindBlobs(frame, kind == SquareKind::Segment ? IsSegmentColour : IsFoodColour)) {
    int w = blob.right - blob.left;
    int h = blob.bottom - blob.top;
    // A square cut by the window edge is narrower but never wider; text or strips that happen to
    // match a few pixels don't make a filled square.
    if (w > side + 2.5 || h > side + 2.5 || w < side / 2 || h < side / 2) continue;
    if (blob.pixels < 0.6 * w * h) continue;
    // The first covered column is the first pixel centre at or right of scale * x.
    double x = blob.left / scale;
    double y = (frame.height - blob.bottom) / scale;
    squares.push_back({x, y});
  }
  return squares;
}

bool HasSquareAt(const std::vector<Square>& squares, double x, double y) {
  for (const Square& s : squares)
    if (std::abs(s.x - x) <= 1.0 && std::abs(s.y - y) <= 1.0) return true;
  return false;
}

std::string Describe(const std::vector<Square>& squares) {
  std::string text = "[";
  for (const Square& s : squares) {
    char item[48];
    std::snprintf(item, sizeof item, "%s(%.1f, %.1f)", text.size() > 1 ? " " : "", s.x, s.y);
    text += item;
  }
  return text + "]";
}
