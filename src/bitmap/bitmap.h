// Reading and writing Windows bitmap files as an info block and a pixel buffer, with no GL.
#pragma once

#include <cstdint>
#include <cstdio>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "BitmapInfo overlays the little-endian file layout; a big-endian port must decode fields"
#endif

// The info block as the file holds it: the 40-byte info header first, then whatever masks,
// colour table and extra bytes the file put before its pixel array. The loader only ever hands
// out blocks of at least 40 bytes, so the header fields below can be read directly; the bytes
// behind them are reached through BitmapInfoTail().
struct BitmapInfo {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfo) == 40, "the info header is 40 bytes in the file");

constexpr uint32_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

// The lengths of the two blocks of a successful load. The game's own loader keeps them to
// itself; code that must stay inside the blocks (the picture decoder) asks for them.
struct BitmapSizes {
  uint32_t infoSize;   // bfOffBits - 14
  uint32_t pixelSize;  // bytes in the pixel buffer
};

// Loads fileName. Returns the pixel buffer, or null when the load fails. The info block comes
// back through *info: untouched when the file can't be opened, is shorter than 14 bytes or isn't
// a "BM" file; null after any later failure. Both blocks belong to the caller.
// Besides a file that ends too early, a load fails when the info block is shorter than the
// 40-byte header, when the pixel-array size isn't a 32-bit signed number (negative width, height
// INT_MIN, overflow, biSizeImage above INT32_MAX) and when the file can't hold what its header
// claims; nothing is allocated for a claim the file can't back. A zero-byte pixel array still
// comes back as a non-null buffer. A null file name or info reference fails at once.
unsigned char* LoadBitmapFile(const char* fileName, BitmapInfo** info);

// The same load, also reporting the two block lengths when sizes is not null (zeros on failure).
unsigned char* LoadBitmapFileSized(const char* fileName, BitmapInfo** info, BitmapSizes* sizes);

// The same load from an open stream positioned at the start of a bitmap; the stream stays open.
// A stream whose length can't be measured (a pipe) is read in growing blocks instead.
unsigned char* LoadBitmapStream(std::FILE* stream, BitmapInfo** info, BitmapSizes* sizes);

// Writes the info block and pixel buffer as a bitmap file. 0 when the whole file was written
// and closed, -1 otherwise (a partly written file is left on disk). A bitmap whose sizes the
// 32-bit file header can't hold, or whose pixel-array size isn't defined, is refused before
// the file is opened, so an existing file of that name stays as it was.
int32_t SaveBitmapFile(const char* fileName, const BitmapInfo* info, const unsigned char* pixels);

// The release of each block returned by the loader, independent of each other.
void ReleaseBitmapInfo(BitmapInfo* info);
void ReleaseBitmapPixels(unsigned char* pixels);

// The bytes of the info block behind the 40-byte header (masks, colour table, extras).
inline const unsigned char* BitmapInfoTail(const BitmapInfo* info) {
  return reinterpret_cast<const unsigned char*>(info) + kBitmapInfoHeaderSize;
}
