// Turns a loaded bitmap of any common kind into the one layout the frame uploads. No GL here, so
// tests and fuzzers can drive it with nothing but bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest picture anyone gets memory for: a side of 16384 is the biggest texture common GL
// drivers accept, and the total keeps a hostile header from asking for gigabytes.
constexpr int32_t kPictureMaxSide = 16384;
constexpr int64_t kPictureMaxPixels = int64_t{1} << 24;

// A picture as the GL takes it with its default unpack alignment: rows of blue, green, red
// bytes, each row padded to a multiple of 4 bytes, the bottom row first.
struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<unsigned char> pixels;
};

// Bytes in one row of 24-bit pixels, padding included; 0 for a width below 1.
size_t BgrRowLength(int32_t width);

// True when the info block describes an uncompressed 24-bit bottom-up picture within the size
// caps: its pixel array already has the layout above and needs no decoding.
bool IsPlainBgrPicture(const unsigned char* info, size_t infoSize);

// Decodes the loaded blocks (info block and pixel buffer, with their exact lengths) into *out.
// Reads nothing outside either block. Returns false, with *out emptied, for anything it can't
// show faithfully: unknown header, encoding or bit depth, a width or height of 0 or beyond the
// caps, a bottom-up or masked layout whose rows run past the pixel buffer. Damage it can show
// around is tolerated: palette indices beyond the colour table become black, and an RLE stream
// that ends early, runs off its row or jumps outside the picture keeps what it drew, the rest
// black.
bool DecodePicture(const unsigned char* info, size_t infoSize, const unsigned char* pixels,
                   size_t pixelSize, DecodedPicture* out);
