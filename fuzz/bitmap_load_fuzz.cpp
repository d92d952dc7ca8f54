// Feeds arbitrary bytes to the bitmap loader through a memory stream and checks its contract.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer; the file tests cover that case
  std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (stream == nullptr) return 0;
  BitmapInfo* sentinel = reinterpret_cast<BitmapInfo*>(0x1);
  BitmapInfo* info = sentinel;
  BitmapSizes sizes{};
  unsigned char* pixels = LoadBitmapStream(stream, &info, &sizes);
  std::fclose(stream);

  if (pixels == nullptr) {
    // Either untouched (no "BM" header) or null: never a dangling block.
    if (info != sentinel && info != nullptr) std::abort();
    return 0;
  }
  // A load hands back exactly the file's bytes: the info block from offset 14, then the pixels.
  if (info == nullptr || info == sentinel) std::abort();
  if (sizes.infoSize < kBitmapInfoHeaderSize) std::abort();
  size_t end = kBitmapFileHeaderSize + size_t{sizes.infoSize} + sizes.pixelSize;
  if (end > size) std::abort();
  if (std::memcmp(info, data + kBitmapFileHeaderSize, sizes.infoSize) != 0) std::abort();
  if (sizes.pixelSize != 0 &&
      std::memcmp(pixels, data + kBitmapFileHeaderSize + sizes.infoSize, sizes.pixelSize) != 0) {
    std::abort();
  }
  ReleaseBitmapInfo(info);
  ReleaseBitmapPixels(pixels);
  return 0;
}
