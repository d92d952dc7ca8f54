// Reads a bitmap file into its info block and pixel buffer, never reading or allocating more
// than the file itself holds.
#include <sys/stat.h>

#include <cstdlib>

#include "bitmap.h"
#include "bitmap_os.h"
#include "bitmap_size.h"
#include "bmp_format.h"

namespace {

constexpr int64_t kUnknownLength = -1;

// A stream whose length can't be known (a pipe) is read in blocks that grow from this size, so
// a header that claims gigabytes costs at most twice what the stream really supplies.
constexpr size_t kFirstChunk = 64 * 1024;

// Where the blocks come from and how many bytes are still in it.
struct Source {
  std::FILE* stream;
  int64_t bytesLeft;  // kUnknownLength when the stream can't tell
};

// The bytes from the current position to the end of the stream.
int64_t BytesLeft(std::FILE* stream) {
  const long here = std::ftell(stream);
  if (here < 0) return kUnknownLength;
  struct stat status;
  const int descriptor = fileno(stream);
  if (descriptor >= 0 && fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
    return status.st_size > here ? status.st_size - here : 0;
  }
  // A memory stream has no descriptor: measure it by going to its end and back.
  if (std::fseek(stream, 0, SEEK_END) != 0) return kUnknownLength;
  const long end = std::ftell(stream);
  // Should the way back fail, the position is lost: an empty stream makes the load fail.
  if (end < 0 || std::fseek(stream, here, SEEK_SET) != 0) return 0;
  return end > here ? end - here : 0;
}

// Every block is released with free(), whichever way it was allocated.
unsigned char* Allocate(size_t size) {
  if (unsigned char* block = AllocateLargeBlock(size)) return block;
  // malloc(0) may return null, but an empty pixel array is a successful load.
  return static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
}

unsigned char* ReadWhole(std::FILE* stream, size_t size) {
  unsigned char* block = Allocate(size);
  if (block != nullptr && std::fread(block, 1, size, stream) == size) return block;
  std::free(block);
  return nullptr;
}

unsigned char* ReadGrowing(std::FILE* stream, size_t size) {
  size_t capacity = size < kFirstChunk ? size : kFirstChunk;
  unsigned char* block = Allocate(capacity);
  size_t filled = 0;
  while (block != nullptr) {
    filled += std::fread(block + filled, 1, capacity - filled, stream);
    if (filled < capacity) break;  // the stream ended first
    if (capacity == size) return block;
    capacity = size - capacity > capacity ? capacity * 2 : size;
    void* grown = std::realloc(block, capacity);
    if (grown == nullptr) break;
    block = static_cast<unsigned char*>(grown);
  }
  std::free(block);
  return nullptr;
}

// A new heap block with the next size bytes of the source, or null when the source ends first.
unsigned char* ReadBlock(Source& source, uint64_t size) {
  if (source.bytesLeft == kUnknownLength) return ReadGrowing(source.stream, size);
  // Checked before allocating: a 60-byte file must not make us ask for gigabytes.
  if (size > static_cast<uint64_t>(source.bytesLeft)) return nullptr;
  source.bytesLeft -= static_cast<int64_t>(size);
  return ReadWhole(source.stream, size);
}

}  // namespace

unsigned char* LoadBitmapStream(std::FILE* stream, BitmapInfo** info, BitmapSizes* sizes) {
  if (sizes != nullptr) *sizes = BitmapSizes{};
  if (stream == nullptr || info == nullptr) return nullptr;
  unsigned char fileHeader[kBitmapFileHeaderSize];
  if (std::fread(fileHeader, 1, sizeof fileHeader, stream) != sizeof fileHeader) return nullptr;
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return nullptr;

  // From here on a failure leaves the caller's reference null, never a stale block.
  *info = nullptr;
  const uint32_t offBits = ReadLittleEndian32(fileHeader + 10);
  // A shorter block would put the header fields that the size rule reads outside of it.
  if (offBits < kBitmapFileHeaderSize + kBitmapInfoHeaderSize) return nullptr;
  Source source{stream, BytesLeft(stream)};
  unsigned char* infoBlock = ReadBlock(source, offBits - kBitmapFileHeaderSize);
  if (infoBlock == nullptr) return nullptr;

  BitmapInfo* header = reinterpret_cast<BitmapInfo*>(infoBlock);
  const int64_t pixelSize = BitmapPixelArraySize(*header);
  unsigned char* pixels = pixelSize < 0 ? nullptr : ReadBlock(source, pixelSize);
  if (pixels == nullptr) {
    std::free(infoBlock);
    return nullptr;
  }
  *info = header;
  if (sizes != nullptr) *sizes = {offBits - kBitmapFileHeaderSize, uint32_t(pixelSize)};
  return pixels;
}

unsigned char* LoadBitmapFileSized(const char* fileName, BitmapInfo** info, BitmapSizes* sizes) {
  if (sizes != nullptr) *sizes = BitmapSizes{};
  if (fileName == nullptr || info == nullptr) return nullptr;
  std::FILE* file = OpenBitmapForReading(fileName);
  if (file == nullptr) return nullptr;
  unsigned char* pixels = LoadBitmapStream(file, info, sizes);
  std::fclose(file);
  return pixels;
}

unsigned char* LoadBitmapFile(const char* fileName, BitmapInfo** info) {
  return LoadBitmapFileSized(fileName, info, nullptr);
}

void ReleaseBitmapInfo(BitmapInfo* info) {
  std::free(info);
}

void ReleaseBitmapPixels(unsigned char* pixels) {
  std::free(pixels);
}
