// Writes an info block and a pixel buffer back as a bitmap file.
#include "bitmap.h"
#include "bitmap_size.h"
#include "bmp_format.h"

namespace {

constexpr int64_t kMaskBytes = 12;  // the three colour masks of a BI_BITFIELDS image
constexpr int64_t kLargestFileSize = UINT32_MAX;

int64_t WithColourTable(int64_t bytesBefore, int64_t entries) {
  return bytesBefore + 4 * entries;
}

// The table that a palette image has when biClrUsed is 0: one entry per possible pixel value.
// Bit counts from 32 on would need more entries than any file header can point past.
int64_t DefaultTableEntries(const BitmapInfo& info) {
  return info.biBitCount < 32 ? int64_t{1} << info.biBitCount : kLargestFileSize;
}

// How much of the info block goes to the file. 64 bits so that no biClrUsed can wrap it round
// to a small number; the caller refuses what the 32-bit file header can't describe.
int64_t InfoSize(const BitmapInfo& info) {
  const int64_t used = info.biClrUsed;
  switch (info.biCompression) {
    case kBiRgb:
      if (used != 0) return WithColourTable(kBitmapInfoHeaderSize, used);
      if (info.biBitCount > 8) return kBitmapInfoHeaderSize;
      return WithColourTable(kBitmapInfoHeaderSize, DefaultTableEntries(info));
    case kBiRle8:
    case kBiRle4:
      if (used != 0) return WithColourTable(kBitmapInfoHeaderSize, used);
      return WithColourTable(kBitmapInfoHeaderSize, DefaultTableEntries(info));
    case kBiBitFields:
      return WithColourTable(kBitmapInfoHeaderSize + kMaskBytes, used);
    default:
      return kBitmapInfoHeaderSize;
  }
}

bool WriteAll(std::FILE* file, const void* bytes, size_t size) {
  return size == 0 || std::fwrite(bytes, 1, size, file) == size;
}

}  // namespace

int32_t SaveBitmapFile(const char* fileName, const BitmapInfo* info, const unsigned char* pixels) {
  if (fileName == nullptr || info == nullptr) return -1;
  // Both sizes are settled before the file is opened: a bitmap that can't be written must not
  // cost an existing file its contents, and a size that wrapped round in 32 bits would make us
  // write a file whose header lies, or read far past the caller's blocks.
  const int64_t pixelSize = BitmapPixelArraySize(*info);
  const int64_t infoSize = InfoSize(*info);
  if (pixelSize < 0) return -1;
  const int64_t fileSize = kBitmapFileHeaderSize + infoSize + pixelSize;
  if (fileSize > kLargestFileSize) return -1;
  if (pixels == nullptr && pixelSize > 0) return -1;

  unsigned char fileHeader[kBitmapFileHeaderSize] = {'B', 'M'};
  PutLittleEndian32(fileHeader + 2, static_cast<uint32_t>(fileSize));
  PutLittleEndian32(fileHeader + 10, static_cast<uint32_t>(kBitmapFileHeaderSize + infoSize));

  std::FILE* file = std::fopen(fileName, "wb");
  if (file == nullptr) return -1;
  const bool written = WriteAll(file, fileHeader, sizeof fileHeader) &&
                       WriteAll(file, info, static_cast<size_t>(infoSize)) &&
                       WriteAll(file, pixels, static_cast<size_t>(pixelSize));
  // A full disk often shows only when the buffered bytes go out at close; the file on disk is
  // then cut short, which is a failure like any other write.
  const bool closed = std::fclose(file) == 0;
  return written && closed ? 0 : -1;
}
