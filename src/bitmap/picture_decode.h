// Turns a loaded bitmap of any common kind into rows a renderer uploads as they are. No GL here,
// so tests, fuzzers and any front end can drive it with nothing but bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest picture anyone gets memory for: a side of 16384 is the biggest texture common GL
// drivers accept, and the total keeps a hostile header from asking for gigabytes.
constexpr int32_t kPictureMaxSide = 16384;
constexpr int64_t kPictureMaxPixels = int64_t{1} << 24;

// How the decoded rows are laid out. Both start with the bottom row, so either one goes to
// glTexImage2D as it is, row 0 at the texture's bottom (t = 0), with no turning over.
enum class PixelLayout {
  // Blue, green, red bytes, each row padded to a multiple of 4 bytes: GL_BGR with the GL's
  // default unpack alignment of 4. What the desktop frame uploads, and a plain 24-bit file's own
  // layout.
  kBottomUpBgrPadded,
  // Red, green, blue bytes, rows packed with no padding: GL_RGB for a renderer without a BGR
  // upload (WebGL). Set GL_UNPACK_ALIGNMENT to 1 before uploading, unless the width times 3 is a
  // multiple of 4.
  kBottomUpRgbPacked,
};

struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  PixelLayout layout = PixelLayout::kBottomUpBgrPadded;
  std::vector<unsigned char> pixels;  // RowLength(width, layout) * height bytes
};

// Bytes in one row of the layout's pixels, padding included; 0 for a width below 1.
size_t RowLength(int32_t width, PixelLayout layout);
size_t BgrRowLength(int32_t width);  // RowLength(width, PixelLayout::kBottomUpBgrPadded)

// True when the info block describes an uncompressed 24-bit bottom-up picture within the size
// caps: its pixel array already is kBottomUpBgrPadded and a BGR caller may upload it without
// decoding. A caller wanting RGB rows decodes it like any other.
bool IsPlainBgrPicture(const unsigned char* info, size_t infoSize);

// Decodes the loaded blocks (info block and pixel buffer, with their exact lengths) into *out,
// its rows laid out as asked. Reads nothing outside either block. Returns false, with *out
// emptied, for anything it can't show faithfully: a layout not listed above, unknown header,
// encoding or bit depth, a width or height of 0 or beyond the caps, a bottom-up or masked
// picture whose rows run past the pixel buffer. Damage it can show around is tolerated: palette
// indices beyond the colour table become black, and an RLE stream that ends early, runs off its
// row or jumps outside the picture keeps what it drew, the rest black. The layout changes where
// the bytes go, never which pictures show or their colours.
bool DecodePicture(const unsigned char* info, size_t infoSize, const unsigned char* pixels,
                   size_t pixelSize, DecodedPicture* out,
                   PixelLayout layout = PixelLayout::kBottomUpBgrPadded);
