// How long start-up spends converting a picture that isn't plain 24-bit, per kind, at 512 x 512.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "picture_decode.h"

namespace {

constexpr int32_t kSide = 512;

struct Blocks {
  std::vector<unsigned char> info;
  std::vector<unsigned char> pixels;
};

void Put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

std::vector<unsigned char> Header(int32_t height, uint16_t bits, uint32_t compression) {
  std::vector<unsigned char> info(40, 0);
  Put32(info, 0, 40);
  Put32(info, 4, kSide);
  Put32(info, 8, static_cast<uint32_t>(height));
  info[12] = 1;
  info[14] = static_cast<unsigned char>(bits);
  Put32(info, 16, compression);
  return info;
}

// A busy pattern, so that runs stay short and nothing is uniform.
unsigned char Pattern(size_t i) {
  return static_cast<unsigned char>((i * 7) ^ (i >> 9));
}

Blocks Palette8() {
  Blocks b{Header(kSide, 8, 0), std::vector<unsigned char>(kSide * kSide)};
  for (int i = 0; i < 256; ++i) b.info.insert(b.info.end(), {Pattern(i), Pattern(i + 1), 0, 0});
  for (size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = Pattern(i);
  return b;
}

Blocks Rle8() {
  Blocks b = Palette8();
  b.info[16] = 1;
  std::vector<unsigned char> stream;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; x += 4) stream.insert(stream.end(), {4, Pattern(y * kSide + x)});
    stream.insert(stream.end(), {0, 0});
  }
  stream.insert(stream.end(), {0, 1});
  b.pixels = stream;
  return b;
}

Blocks Masked32() {
  Blocks b{Header(kSide, 32, 3), std::vector<unsigned char>(kSide * kSide * 4)};
  b.info.resize(52);
  Put32(b.info, 40, 0x00FF0000);
  Put32(b.info, 44, 0x0000FF00);
  Put32(b.info, 48, 0x000000FF);
  for (size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = Pattern(i);
  return b;
}

Blocks Rgb16() {
  Blocks b{Header(kSide, 16, 0), std::vector<unsigned char>(kSide * kSide * 2)};
  for (size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = Pattern(i);
  return b;
}

Blocks TopDown24() {
  Blocks b{Header(-kSide, 24, 0), std::vector<unsigned char>(kSide * kSide * 3)};
  for (size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = Pattern(i);
  return b;
}

void Decode(benchmark::State& state, const Blocks& blocks) {
  DecodedPicture out;
  for (auto _ : state) {
    bool shown = DecodePicture(blocks.info.data(), blocks.info.size(), blocks.pixels.data(),
                               blocks.pixels.size(), &out);
    benchmark::DoNotOptimize(shown);
    benchmark::DoNotOptimize(out.pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_DecodePalette8(benchmark::State& state) {
  Decode(state, Palette8());
}
void BM_DecodeRle8(benchmark::State& state) {
  Decode(state, Rle8());
}
void BM_DecodeBitFields32(benchmark::State& state) {
  Decode(state, Masked32());
}
void BM_DecodeRgb555(benchmark::State& state) {
  Decode(state, Rgb16());
}
void BM_DecodeTopDown24(benchmark::State& state) {
  Decode(state, TopDown24());
}

}  // namespace

BENCHMARK(BM_DecodePalette8);
BENCHMARK(BM_DecodeRle8);
BENCHMARK(BM_DecodeBitFields32);
BENCHMARK(BM_DecodeRgb555);
BENCHMARK(BM_DecodeTopDown24);
