// Decodes arbitrary bitmap files into both row layouts: it must refuse or stay inside both blocks,
// what it hands back must hold every byte the GL will read, and the packed RGB rows must be the
// padded BGR ones with the channels swapped.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bitmap.h"
#include "picture_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (stream == nullptr) return 0;
  BitmapInfo* info = nullptr;
  BitmapSizes sizes{};
  unsigned char* pixels = LoadBitmapStream(stream, &info, &sizes);
  std::fclose(stream);
  if (pixels == nullptr) return 0;

  // The loader hands out exact-size heap blocks, so ASan sees any read past either of them.
  const auto* block = reinterpret_cast<const unsigned char*>(info);
  // Pictures near the size caps spend the run zero-filling megabytes; the unit tests cover the
  // caps, so the fuzzer keeps to sizes where it learns something each execution.
  int64_t claimed = int64_t{info->biWidth} *
                    (info->biHeight < 0 ? -int64_t{info->biHeight} : int64_t{info->biHeight});
  if (claimed > (int64_t{1} << 18)) {
    ReleaseBitmapInfo(info);
    ReleaseBitmapPixels(pixels);
    return 0;
  }
  DecodedPicture picture;
  DecodedPicture packed;
  bool shown = DecodePicture(block, sizes.infoSize, pixels, sizes.pixelSize, &picture);
  if (DecodePicture(block, sizes.infoSize, pixels, sizes.pixelSize, &packed,
                    PixelLayout::kBottomUpRgbPacked) != shown) {
    std::abort();
  }
  if (shown) {
    if (picture.width < 1 || picture.height < 1) std::abort();
    if (picture.width > kPictureMaxSide || picture.height > kPictureMaxSide) std::abort();
    if (picture.pixels.size() < BgrRowLength(picture.width) * picture.height) std::abort();
    if (packed.width != picture.width || packed.height != picture.height) std::abort();
    if (packed.pixels.size() != size_t{3} * packed.width * packed.height) std::abort();
    for (size_t y = 0; y < size_t(picture.height); ++y) {
      const unsigned char* bgr = picture.pixels.data() + y * BgrRowLength(picture.width);
      const unsigned char* rgb = packed.pixels.data() + y * 3 * packed.width;
      for (size_t x = 0; x < size_t(picture.width); ++x, bgr += 3, rgb += 3) {
        if (rgb[0] != bgr[2] || rgb[1] != bgr[1] || rgb[2] != bgr[0]) std::abort();
      }
    }
  } else if (!picture.pixels.empty() || !packed.pixels.empty()) {
    std::abort();
  }
  IsPlainBgrPicture(block, sizes.infoSize);
  ReleaseBitmapInfo(info);
  ReleaseBitmapPixels(pixels);
  return 0;
}
