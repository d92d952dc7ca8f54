// Draws the game's two default pictures, a sky for the panel and grassy ground for the
// playfield, and writes them as "sky.bmp" and "background.bmp" into the folder it is given.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bitmap.h"

namespace {

constexpr int kSide = 256;                 // a power of two, which OpenGL 1.1 needs for a texture
constexpr int kStride = kSide * 3;         // already a multiple of 4: rows need no fill bytes
constexpr int32_t kPixelsPerMeter = 2835;  // 72 dots per inch

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, double factor) {
  return {c.r * factor, c.g * factor, c.b * factor};
}

double Smoothstep(double edge0, double edge1, double x) {
  const double t = std::fmin(1.0, std::fmax(0.0, (x - edge0) / (edge1 - edge0)));
  return t * t * (3.0 - 2.0 * t);
}

// A fixed integer hash instead of a random generator: the same pictures on every build.
double Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFFFF) / double(0x1000000);
}

// Smooth noise over a grid of cellsX by cellsY cells that wraps at the picture's edges, so the
// texture repeats without a seam.
double ValueNoise(double u, double v, int cellsX, int cellsY, int seed) {
  const double x = u * cellsX, y = v * cellsY;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = Smoothstep(0, 1, x - x0), fy = Smoothstep(0, 1, y - y0);
  auto corner = [&](int dx, int dy) { return Hash((x0 + dx) % cellsX, (y0 + dy) % cellsY, seed); };
  const double bottom = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * fx;
  const double top = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * fx;
  return bottom + (top - bottom) * fy;
}

// Octaves of noise, each twice as fine and half as strong; 0 to 1.
double Fractal(double u, double v, int cellsX, int cellsY, int octaves, int seed) {
  double sum = 0, weight = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(u, v, cellsX << i, cellsY << i, seed + i);
    total += weight;
    weight *= 0.5;
  }
  return sum / total;
}

// The panel strip is about seven times wider than tall, so the clouds are drawn tall here to
// look like soft heaps, not streaks, once squeezed. Row 0 is the bottom: near the horizon.
Rgb SkyTexel(int x, int y) {
  const double u = x / double(kSide), v = y / double(kSide);
  const Rgb horizon{196, 224, 246}, zenith{84, 150, 226};
  const Rgb sky = Mix(horizon, zenith, std::pow(v, 0.8));
  const double cloud = Fractal(u, v, 4, 2, 5, 11);
  const double cover = Smoothstep(0.48, 0.72, cloud);
  // Lit from above: the upper side of each heap brighter than its belly.
  const double light = Fractal(u, v + 0.03, 4, 2, 5, 11) - cloud;
  const Rgb cloudColour = Mix({226, 230, 238}, {255, 255, 255}, Smoothstep(-0.04, 0.04, light));
  return Mix(sky, cloudColour, cover * 0.92);
}

// Pebbles on bare earth: one chance per 8-pixel cell, a small rounded stone.
double Pebble(int x, int y) {
  const int cellX = x / 8, cellY = y / 8;
  if (Hash(cellX, cellY, 41) > 0.35) return 0;
  const double cx = cellX * 8 + 2 + 4 * Hash(cellX, cellY, 42);
  const double cy = cellY * 8 + 2 + 4 * Hash(cellX, cellY, 43);
  const double radius = 1.2 + 1.6 * Hash(cellX, cellY, 44);
  const double distance = std::hypot(x - cx, y - cy);
  return 1.0 - Smoothstep(radius - 0.8, radius, distance);
}

// Flowers dotted through the grass: rare, two pixels, yellow or white.
Rgb WithFlower(Rgb grass, int x, int y) {
  const int cellX = x / 16, cellY = y / 16;
  if (Hash(cellX, cellY, 51) > 0.18) return grass;
  const int fx = cellX * 16 + 3 + static_cast<int>(10 * Hash(cellX, cellY, 52));
  const int fy = cellY * 16 + 3 + static_cast<int>(10 * Hash(cellX, cellY, 53));
  if (std::abs(x - fx) + std::abs(y - fy) > 1) return grass;
  return Hash(cellX, cellY, 54) < 0.6 ? Rgb{250, 228, 90} : Rgb{250, 250, 240};
}

Rgb GroundTexel(int x, int y) {
  const double u = x / double(kSide), v = y / double(kSide);
  const double meadow = Fractal(u, v, 4, 4, 4, 3);
  const double blades = ValueNoise(u, v, 128, 20, 5);  // fine vertical streaks
  const double grain = Hash(x, y, 9);
  Rgb grass = Mix({108, 168, 66}, {186, 228, 104}, meadow);
  grass = Scale(grass, 0.86 + 0.22 * blades + 0.08 * grain);
  grass = WithFlower(grass, x, y);

  const double bare = Smoothstep(0.62, 0.70, Fractal(u, v, 3, 3, 3, 7));
  if (bare == 0) return grass;
  Rgb earth = Mix({150, 112, 74}, {188, 150, 104}, Fractal(u, v, 16, 16, 2, 8));
  earth = Scale(earth, 0.92 + 0.12 * grain);
  earth = Mix(earth, {206, 200, 190}, Pebble(x, y) * 0.85);
  return Mix(grass, earth, bare);
}

unsigned char Channel(double value) {
  return static_cast<unsigned char>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

// Blue, green, red, bottom row first: the layout the frame hands straight to the GL.
std::vector<unsigned char> Paint(Rgb (*texel)(int, int)) {
  std::vector<unsigned char> pixels(kStride * kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const Rgb c = texel(x, y);
      unsigned char* p = &pixels[y * kStride + x * 3];
      p[0] = Channel(c.b);
      p[1] = Channel(c.g);
      p[2] = Channel(c.r);
    }
  }
  return pixels;
}

BitmapInfo PictureHeader() {
  BitmapInfo info{};
  info.biSize = kBitmapInfoHeaderSize;
  info.biWidth = kSide;
  info.biHeight = kSide;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = 0;
  info.biSizeImage = kStride * kSide;
  info.biXPelsPerMeter = kPixelsPerMeter;
  info.biYPelsPerMeter = kPixelsPerMeter;
  return info;
}

bool WritePicture(const std::string& folder, const char* name, Rgb (*texel)(int, int)) {
  const BitmapInfo info = PictureHeader();
  const std::string path = folder + "/" + name;
  if (SaveBitmapFile(path.c_str(), &info, Paint(texel).data()) == 0) return true;
  std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argc > 0 ? argv[0] : "make_pictures");
    return 2;
  }
  const bool sky = WritePicture(argv[1], "sky.bmp", SkyTexel);
  const bool ground = WritePicture(argv[1], "background.bmp", GroundTexel);
  return sky && ground ? 0 : 1;
}
