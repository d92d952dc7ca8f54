// Small bitmaps put together byte by byte, as the loader would hand them out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct Bgr {
  unsigned char b, g, r;
};

inline void Put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

inline void Put16(Bytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<unsigned char>(value);
  bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

// An info block as the loader hands it out: header, then masks and colour table as given.
inline Bytes Info(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits,
                  uint32_t compression = 0, uint32_t colorsUsed = 0) {
  Bytes info(std::max<uint32_t>(headerSize, 40), 0);
  Put32(info, 0, headerSize);
  Put32(info, 4, static_cast<uint32_t>(width));
  Put32(info, 8, static_cast<uint32_t>(height));
  Put16(info, 12, 1);
  Put16(info, 14, bits);
  Put32(info, 16, compression);
  Put32(info, 32, colorsUsed);
  info.resize(headerSize);
  return info;
}

inline Bytes WithPalette(Bytes info, const std::vector<Bgr>& colours, size_t entrySize = 4) {
  for (const Bgr& c : colours) {
    info.insert(info.end(), {c.b, c.g, c.r});
    if (entrySize == 4) info.push_back(0);
  }
  return info;
}

inline Bytes WithMasks(Bytes info, uint32_t red, uint32_t green, uint32_t blue) {
  size_t at = info.size();
  info.resize(at + 12);
  Put32(info, at, red);
  Put32(info, at + 4, green);
  Put32(info, at + 8, blue);
  return info;
}

inline Bytes CoreInfo(uint16_t width, uint16_t height, uint16_t bits) {
  Bytes info(12, 0);
  Put32(info, 0, 12);
  Put16(info, 4, width);
  Put16(info, 6, height);
  Put16(info, 8, 1);
  Put16(info, 10, bits);
  return info;
}

inline Bytes Pixels16(std::initializer_list<uint16_t> values) {
  Bytes bytes(values.size() * 2);
  size_t at = 0;
  for (uint16_t v : values) Put16(bytes, (at++) * 2, v);
  return bytes;
}
