// Decoding of palette, RLE, masked and top-down bitmaps into 24-bit bottom-up rows of either
// channel order.
#include "picture_decode.h"

#include <algorithm>

#include "bmp_format.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sides, 3-byte palette entries
constexpr uint32_t kOs2V2HeaderSize = 64;

// One colour channel of a masked pixel, scaled so that the mask's full value gives 255.
struct Channel {
  uint32_t mask = 0;
  uint32_t shift = 0;
  uint64_t top = 0;  // the mask shifted down: the channel's largest value
};

// What the info block says about the pixels, every part of it found inside the block, with the
// colours already in the order the caller's rows want them.
struct Layout {
  PixelLayout target = PixelLayout::kBottomUpBgrPadded;
  size_t rowLength = 0;  // of the output rows, set once the width is known
  int32_t width = 0;
  int32_t height = 0;  // rows, always positive
  bool topDown = false;
  uint32_t bitCount = 0;
  uint32_t compression = kBiRgb;
  Channel channels[3];                 // in the target's order
  unsigned char palette[256][3] = {};  // in the target's order; entries the file lacks stay black
};

bool WantsRgb(const Layout& layout) {
  return layout.target == PixelLayout::kBottomUpRgbPacked;
}

// Every colour the file spells as blue, green, red bytes reaches the output through here.
void PutColour(const Layout& layout, const unsigned char* bgr, unsigned char* dst) {
  if (WantsRgb(layout)) {
    dst[0] = bgr[2];
    dst[1] = bgr[1];
    dst[2] = bgr[0];
  } else {
    std::copy(bgr, bgr + 3, dst);
  }
}

Channel MakeChannel(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask == 0) return c;
  while (((mask >> c.shift) & 1u) == 0) ++c.shift;
  c.top = mask >> c.shift;
  return c;
}

void SetChannels(uint32_t red, uint32_t green, uint32_t blue, Layout* layout) {
  bool rgb = WantsRgb(*layout);
  layout->channels[0] = MakeChannel(rgb ? red : blue);
  layout->channels[1] = MakeChannel(green);
  layout->channels[2] = MakeChannel(rgb ? blue : red);
}

unsigned char ChannelValue(const Channel& c, uint32_t pixel) {
  if (c.top == 0) return 0;
  uint64_t v = (pixel & c.mask) >> c.shift;
  return static_cast<unsigned char>((v * 255 + c.top / 2) / c.top);
}

bool KnownHeaderSize(uint32_t size) {
  switch (size) {
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

bool BitCountFits(uint32_t compression, uint32_t bits) {
  switch (compression) {
    case kBiRgb:
      return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
             bits == 32;
    case kBiRle8:
      return bits == 8;
    case kBiRle4:
      return bits == 4;
    case kBiBitFields:
    case kBiAlphaBitFields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

// Copies the colour table into the fixed 256 entries, so that every pixel index, whatever the
// file claims, lands on an entry: missing ones are black.
void ReadPalette(const unsigned char* info, size_t infoSize, size_t offset, size_t entrySize,
                 uint64_t declared, Layout* layout) {
  if (offset >= infoSize) return;
  uint64_t present = (infoSize - offset) / entrySize;
  uint64_t count = std::min<uint64_t>({declared, present, 256});
  for (uint64_t i = 0; i < count; ++i) {
    PutColour(*layout, info + offset + i * entrySize, layout->palette[i]);
  }
}

bool ReadCoreHeader(const unsigned char* info, size_t infoSize, Layout* layout) {
  layout->width = ReadLittleEndian16(info + 4);
  layout->height = ReadLittleEndian16(info + 6);
  layout->bitCount = ReadLittleEndian16(info + 10);
  // The core header has no compression field, so its bit count alone must make sense.
  if (!BitCountFits(kBiRgb, layout->bitCount)) return false;
  if (layout->bitCount <= 8) {
    ReadPalette(info, infoSize, kCoreHeaderSize, 3, uint64_t{1} << layout->bitCount, layout);
  }
  return true;
}

// Masks sit at offset 40 either way: inside a header of 52 bytes or more, or right behind the
// 40-byte one. Returns where the colour table starts, or 0 when the masks are missing.
size_t ReadMasks(const unsigned char* info, size_t infoSize, uint32_t headerSize, Layout* layout) {
  size_t maskBytes = layout->compression == kBiAlphaBitFields ? 16 : 12;
  size_t tableStart = headerSize;
  if (headerSize < 40 + maskBytes) tableStart = 40 + maskBytes;
  if (tableStart > infoSize) return 0;
  SetChannels(ReadLittleEndian32(info + 40), ReadLittleEndian32(info + 44),
              ReadLittleEndian32(info + 48), layout);
  return tableStart;
}

void SetDefaultMasks(Layout* layout) {
  if (layout->bitCount == 16) {
    SetChannels(0x7C00u, 0x03E0u, 0x001Fu, layout);
  } else {
    SetChannels(0xFF0000u, 0x00FF00u, 0x0000FFu, layout);
  }
}

bool ReadInfoHeader(const unsigned char* info, size_t infoSize, uint32_t headerSize,
                    Layout* layout) {
  // A 16-byte OS/2 header stops after the bit count; the fields it lacks count as 0.
  uint32_t compression = headerSize >= 20 ? ReadLittleEndian32(info + 16) : kBiRgb;
  uint32_t colorsUsed = headerSize >= 36 ? ReadLittleEndian32(info + 32) : 0;
  // OS/2 2.x reuses 3 and 4 for Huffman and RLE24, which nothing here reads.
  if (headerSize == kOs2V2HeaderSize && compression != kBiRgb && compression != kBiRle8 &&
      compression != kBiRle4) {
    return false;
  }
  layout->width = static_cast<int32_t>(ReadLittleEndian32(info + 4));
  int32_t height = static_cast<int32_t>(ReadLittleEndian32(info + 8));
  if (height == INT32_MIN) return false;
  layout->topDown = height < 0;
  layout->height = height < 0 ? -height : height;
  layout->bitCount = ReadLittleEndian16(info + 14);
  layout->compression = compression;
  if (!BitCountFits(compression, layout->bitCount)) return false;

  size_t tableStart = headerSize;
  if (compression == kBiBitFields || compression == kBiAlphaBitFields) {
    tableStart = ReadMasks(info, infoSize, headerSize, layout);
    if (tableStart == 0) return false;
  } else if (layout->bitCount > 8) {
    SetDefaultMasks(layout);
  }
  if (layout->bitCount <= 8) {
    uint64_t declared = colorsUsed != 0 ? colorsUsed : uint64_t{1} << layout->bitCount;
    ReadPalette(info, infoSize, tableStart, 4, declared, layout);
  }
  return true;
}

bool ReadLayout(const unsigned char* info, size_t infoSize, Layout* layout) {
  if (info == nullptr || infoSize < kCoreHeaderSize) return false;
  uint32_t headerSize = ReadLittleEndian32(info);
  bool read = false;
  if (headerSize == kCoreHeaderSize) {
    read = ReadCoreHeader(info, infoSize, layout);
  } else if (KnownHeaderSize(headerSize) && headerSize <= infoSize) {
    read = ReadInfoHeader(info, infoSize, headerSize, layout);
  }
  if (!read || layout->width < 1 || layout->height < 1) return false;
  if (layout->width > kPictureMaxSide || layout->height > kPictureMaxSide) return false;
  if (int64_t{layout->width} * layout->height > kPictureMaxPixels) return false;
  // Top-down RLE is not a thing the format allows; guessing its row order would show garbage.
  if (layout->topDown && (layout->compression == kBiRle8 || layout->compression == kBiRle4)) {
    return false;
  }
  return true;
}

unsigned char* OutPixel(const Layout& layout, DecodedPicture* out, int32_t x, int32_t y) {
  return out->pixels.data() + static_cast<size_t>(y) * layout.rowLength +
         static_cast<size_t>(x) * 3;
}

void PutIndex(const Layout& layout, unsigned index, unsigned char* dst) {
  std::copy(layout.palette[index], layout.palette[index] + 3, dst);
}

void DecodeIndexedRow(const Layout& layout, const unsigned char* src, unsigned char* dst) {
  uint32_t bits = layout.bitCount;
  uint32_t perByte = 8 / bits;
  unsigned valueMask = (1u << bits) - 1;
  for (int32_t x = 0; x < layout.width; ++x) {
    // The leftmost pixel sits in the byte's highest bits.
    uint32_t shift = 8 - bits * (1 + x % perByte);
    PutIndex(layout, (src[x / perByte] >> shift) & valueMask, dst + 3 * x);
  }
}

void DecodeMaskedRow(const Layout& layout, const unsigned char* src, unsigned char* dst) {
  bool wide = layout.bitCount == 32;
  for (int32_t x = 0; x < layout.width; ++x) {
    uint32_t pixel = wide ? ReadLittleEndian32(src + 4 * x) : ReadLittleEndian16(src + 2 * x);
    for (int c = 0; c < 3; ++c) dst[3 * x + c] = ChannelValue(layout.channels[c], pixel);
  }
}

bool DecodeRows(const Layout& layout, const unsigned char* pixels, size_t pixelSize,
                DecodedPicture* out) {
  uint64_t rowBits = uint64_t{static_cast<uint32_t>(layout.width)} * layout.bitCount;
  uint64_t stride = (rowBits + 31) / 32 * 4;
  // The last row may come without its fill bytes; anything shorter is a cut-off file.
  uint64_t needed = stride * (layout.height - 1) + (rowBits + 7) / 8;
  if (pixels == nullptr || pixelSize < needed) return false;
  for (int32_t row = 0; row < layout.height; ++row) {
    const unsigned char* src = pixels + row * stride;
    unsigned char* dst = OutPixel(layout, out, 0, layout.topDown ? layout.height - 1 - row : row);
    if (layout.bitCount <= 8) {
      DecodeIndexedRow(layout, src, dst);
    } else if (layout.bitCount == 24 && !WantsRgb(layout)) {
      std::copy(src, src + 3 * static_cast<size_t>(layout.width), dst);
    } else if (layout.bitCount == 24) {
      for (int32_t x = 0; x < layout.width; ++x) PutColour(layout, src + 3 * x, dst + 3 * x);
    } else {
      DecodeMaskedRow(layout, src, dst);
    }
  }
  return true;
}

// Where an RLE stream draws next. Positions past the right edge are held at the edge, so runs
// off the row are dropped without the counters ever growing out of range.
struct RleCursor {
  int32_t x = 0;
  int32_t y = 0;
};

void RlePut(const Layout& layout, unsigned index, RleCursor* at, DecodedPicture* out) {
  if (at->x < layout.width && at->y < layout.height) {
    PutIndex(layout, index, OutPixel(layout, out, at->x, at->y));
  }
  if (at->x < layout.width) ++at->x;
}

unsigned RleNibbleOrByte(const Layout& layout, unsigned value, uint32_t i) {
  if (layout.compression == kBiRle8) return value;
  return i % 2 == 0 ? value >> 4 : value & 0x0F;
}

// Literal pixels behind a 0, n escape; the stream pads them to an even byte count. Returns the
// position after them, or size when the stream ends inside them.
size_t RleAbsolute(const Layout& layout, const unsigned char* src, size_t pos, size_t size,
                   uint32_t count, RleCursor* at, DecodedPicture* out) {
  bool rle8 = layout.compression == kBiRle8;
  size_t bytes = rle8 ? count : (count + 1) / 2;
  for (uint32_t i = 0; i < count; ++i) {
    size_t byte = pos + (rle8 ? i : i / 2);
    if (byte >= size) return size;
    RlePut(layout, RleNibbleOrByte(layout, src[byte], i), at, out);
  }
  return pos + bytes + bytes % 2;
}

void DecodeRle(const Layout& layout, const unsigned char* src, size_t size, DecodedPicture* out) {
  RleCursor at;
  size_t pos = 0;
  while (at.y < layout.height && src != nullptr && pos + 2 <= size) {
    uint32_t count = src[pos];
    uint32_t value = src[pos + 1];
    pos += 2;
    if (count > 0) {
      for (uint32_t i = 0; i < count && at.x < layout.width; ++i) {
        RlePut(layout, RleNibbleOrByte(layout, value, i), &at, out);
      }
    } else if (value == 0) {  // end of line
      at.x = 0;
      ++at.y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta: move right and up without drawing
      if (pos + 2 > size) break;
      at.x = std::min(layout.width, at.x + src[pos]);
      at.y = std::min(layout.height, at.y + src[pos + 1]);
      pos += 2;
    } else {
      pos = RleAbsolute(layout, src, pos, size, value, &at, out);
    }
  }
}

}  // namespace

size_t RowLength(int32_t width, PixelLayout layout) {
  if (width < 1) return 0;
  size_t packed = static_cast<size_t>(width) * 3;
  return layout == PixelLayout::kBottomUpRgbPacked ? packed : (packed + 3) / 4 * 4;
}

size_t BgrRowLength(int32_t width) {
  return RowLength(width, PixelLayout::kBottomUpBgrPadded);
}

bool IsPlainBgrPicture(const unsigned char* info, size_t infoSize) {
  if (info == nullptr || infoSize < 40) return false;
  uint32_t headerSize = ReadLittleEndian32(info);
  int32_t width = static_cast<int32_t>(ReadLittleEndian32(info + 4));
  int32_t height = static_cast<int32_t>(ReadLittleEndian32(info + 8));
  return headerSize >= 40 && KnownHeaderSize(headerSize) && ReadLittleEndian16(info + 14) == 24 &&
         ReadLittleEndian32(info + 16) == kBiRgb && width >= 1 && height >= 1 &&
         width <= kPictureMaxSide && height <= kPictureMaxSide &&
         int64_t{width} * height <= kPictureMaxPixels;
}

bool DecodePicture(const unsigned char* info, size_t infoSize, const unsigned char* pixels,
                   size_t pixelSize, DecodedPicture* out, PixelLayout target) {
  *out = DecodedPicture();
  if (target != PixelLayout::kBottomUpBgrPadded && target != PixelLayout::kBottomUpRgbPacked) {
    return false;
  }
  Layout layout;
  layout.target = target;
  if (!ReadLayout(info, infoSize, &layout)) return false;
  out->width = layout.width;
  out->height = layout.height;
  out->layout = target;
  layout.rowLength = RowLength(layout.width, target);
  out->pixels.assign(layout.rowLength * layout.height, 0);
  bool rle = layout.compression == kBiRle8 || layout.compression == kBiRle4;
  if (rle) {
    DecodeRle(layout, pixels, pixelSize, out);
  } else if (!DecodeRows(layout, pixels, pixelSize, out)) {
    *out = DecodedPicture();
    return false;
  }
  return true;
}
