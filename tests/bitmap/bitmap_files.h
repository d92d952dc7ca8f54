// Small bitmap files built byte by byte for the loader and writer tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The header fields a test may vary; everything else is what a plain 24-bit file holds.
struct BitmapFields {
  int32_t width = 3;
  int32_t height = 2;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t clrUsed = 0;
  uint32_t infoHeaderSize = 40;  // biSize
  uint32_t offBits = 54;         // above 54 the gap is filled with recognisable bytes
  size_t pixelBytes = 24;        // how much of a pixel array the file really holds
  size_t trailingBytes = 0;      // junk after the pixel array
};

// A whole file: 14-byte header, 40-byte info header, any gap up to offBits, then the pixels.
// Every byte outside the header fields is distinct enough that a shifted read shows.
Bytes BuildBitmap(const BitmapFields& fields);

uint32_t GetLittleEndian32(const Bytes& bytes, size_t offset);
uint16_t GetLittleEndian16(const Bytes& bytes, size_t offset);
void PutLittleEndian32(Bytes& bytes, size_t offset, uint32_t value);

// Whole files as bytes; both throw when the file can't be read or written.
Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// The number of descriptors this process holds open: a load must leave it as it found it.
int OpenDescriptorCount();

// A stream over bytes, positioned at their start; bytes must outlive it. A memory stream, which
// has no descriptor to measure, where the C library has one (not on Windows: a temporary file).
std::FILE* OpenMemoryStream(Bytes& bytes);

// A pipe's two descriptors (read, write), as pipe() gives them; false when none can be made.
bool MakePipe(int ends[2]);
