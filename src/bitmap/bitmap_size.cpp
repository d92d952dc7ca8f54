// The pixel-array size rule shared by the loader and the writer.
#include "bitmap_size.h"

namespace {

constexpr int64_t kLargestSize = INT32_MAX;

}  // namespace

int64_t BitmapPixelArraySize(const BitmapInfo& info) {
  if (info.biSizeImage != 0) {
    return info.biSizeImage <= kLargestSize ? int64_t{info.biSizeImage} : -1;
  }
  // Every intermediate of the row arithmetic must stay a 32-bit signed value; 64 bits hold
  // the widest product (2^31 pixels times 65535 bits) so the test itself can't overflow.
  if (info.biWidth < 0 || info.biHeight == INT32_MIN) return -1;
  const int64_t rowBits = int64_t{info.biWidth} * info.biBitCount + 31;
  if (rowBits > kLargestSize) return -1;
  const int64_t stride = rowBits / 32 * 4;
  const int64_t rows = info.biHeight < 0 ? -int64_t{info.biHeight} : int64_t{info.biHeight};
  const int64_t size = stride * rows;
  return size <= kLargestSize ? size : -1;
}
