// A grabbed window image and the probes the scenarios read it with, in pixels and in world units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  int r, g, b;
};

// Each channel within tolerance.
bool Near(Rgb a, Rgb b, int tolerance);

// A window's pixels, top row first. The world maps onto it the way the game's projection does:
// the shorter side spans 250 units and the origin is the lower-left corner.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // 3 bytes per pixel

  bool empty() const { return rgb.empty(); }
  Rgb At(int x, int y) const;
  bool operator==(const Frame& other) const;

  double Scale() const;  // pixels per world unit
  double WorldWidth() const { return width / Scale(); }
  double WorldHeight() const { return height / Scale(); }
  // The pixel whose centre lies nearest the world point; may fall outside the frame.
  int ColumnOf(double worldX) const;
  int RowOf(double worldY) const;
  Rgb AtWorld(double worldX, double worldY) const;
};

// A rectangle of pixels, right and bottom exclusive; clipped to the frame where it is used.
struct PixelRect {
  int left, top, right, bottom;
};

// Pixels within tolerance of colour inside rect.
int CountPixels(const Frame& frame, PixelRect rect, Rgb colour, int tolerance);
// Pixels within tolerance of colour anywhere in the frame.
int CountPixels(const Frame& frame, Rgb colour, int tolerance);
// The rightmost column in rect holding such a pixel, or -1.
int RightmostColumn(const Frame& frame, PixelRect rect, Rgb colour, int tolerance);

// The clear colour of the game: wherever it shows, no strip covered the pixel.
constexpr Rgb kClearColour{0, 0, 76};
// The state texts "Game Over!" and "Paused" share one colour and one place.
constexpr Rgb kStateTextColour{153, 102, 31};
constexpr Rgb kPanelTextColour{255, 255, 0};

// Which one of the state texts stands at its place in the playfield, judged by its width.
enum class StateText { NoText, Paused, GameOver };
StateText FindStateText(const Frame& frame);

// Pixels of the panel's yellow text in the band where the title stands, measured from the top.
int TitlePixels(const Frame& frame);

// A serpent or food square as seen in a frame: its lower-left corner in world units, good to
// about half a pixel.
struct Square {
  double x, y;
};
enum class SquareKind { Segment, Food };

// Every square of that kind: blobs of its shaded colours of about a square's size.
std::vector<Square> FindSquares(const Frame& frame, SquareKind kind);

// True when a square of that kind lies with its lower-left corner within one unit of (x, y).
bool HasSquareAt(const std::vector<Square>& squares, double x, double y);

std::string Describe(const std::vector<Square>& squares);
