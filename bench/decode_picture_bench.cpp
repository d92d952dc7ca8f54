// How long start-up spends converting a picture that isn't plain 24-bit, per kind, at 512 x 512,
// and the converter's throughput on the largest 8-bit palette picture it takes. Packed RGB rows,
// for renderers without a BGR upload, are timed beside the frame's BGR ones.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "bitmap.h"
#include "picture_decode.h"
#include "temp_folder.h"

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

void Decode(benchmark::State& state, const Blocks& blocks,
            PixelLayout layout = PixelLayout::kBottomUpBgrPadded) {
  DecodedPicture out;
  for (auto _ : state) {
    bool shown = DecodePicture(blocks.info.data(), blocks.info.size(), blocks.pixels.data(),
                               blocks.pixels.size(), &out, layout);
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
void BM_DecodePalette8Rgb(benchmark::State& state) {
  Decode(state, Palette8(), PixelLayout::kBottomUpRgbPacked);
}
void BM_DecodeTopDown24Rgb(benchmark::State& state) {
  Decode(state, TopDown24(), PixelLayout::kBottomUpRgbPacked);
}

// The largest square picture the converter's caps let through: a side of 4096 is exactly
// kPictureMaxPixels. Written as a file and loaded with the game's loader, so the converter gets
// the very blocks start-up would hand it.
constexpr int32_t kLargeSide = 4096;
static_assert(int64_t{kLargeSide} * kLargeSide <= kPictureMaxPixels, "the caps would refuse it");

struct LoadedPicture {
  BitmapInfo* info = nullptr;
  unsigned char* pixels = nullptr;
  BitmapSizes sizes{};
  ~LoadedPicture() {
    ReleaseBitmapInfo(info);
    ReleaseBitmapPixels(pixels);
  }
};

// Writes the palette picture into a private temporary folder, loads it back, removes the folder.
bool LoadLargePalettePicture(LoadedPicture* loaded) {
  ScratchFolder folder;
  if (!folder.Create("velmorak-bench")) return false;
  const std::string path = folder.Path("palette.bmp");
  std::vector<unsigned char> info(40, 0);
  Put32(info, 0, 40);
  Put32(info, 4, kLargeSide);
  Put32(info, 8, kLargeSide);
  info[12] = 1;
  info[14] = 8;
  for (int i = 0; i < 256; ++i)
    info.insert(info.end(), {Pattern(i), Pattern(i + 1), Pattern(i + 2), 0});
  std::vector<unsigned char> pixels(size_t{kLargeSide} * kLargeSide);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = Pattern(i);
  bool saved = SaveBitmapFile(path.c_str(), reinterpret_cast<const BitmapInfo*>(info.data()),
                              pixels.data()) == 0;
  if (saved) loaded->pixels = LoadBitmapFileSized(path.c_str(), &loaded->info, &loaded->sizes);
  return loaded->pixels != nullptr;
}

void ReportLargePalette(bool quick) {
  const char* figure = "converter, 4096×4096 8-bit palette";
  LoadedPicture loaded;
  DecodedPicture out;
  auto decode = [&] {
    return DecodePicture(reinterpret_cast<const unsigned char*>(loaded.info), loaded.sizes.infoSize,
                         loaded.pixels, loaded.sizes.pixelSize, &out);
  };
  if (!LoadLargePalettePicture(&loaded) || !decode()) {
    std::fprintf(stderr, "decode_picture_bench: the 4096 x 4096 palette picture was refused\n");
    AddTableRow({figure, "refused", "-", "-", "-", "-"});
    return;
  }
  Samples runs;
  for (int i = 0; i < (quick ? 3 : 15); ++i) {
    double start = BenchSeconds();
    decode();
    runs.Add(BenchSeconds() - start);
  }
  const double median = runs.Median();
  const double inputBytes = double(loaded.sizes.infoSize) + loaded.sizes.pixelSize;
  char ours[128];
  std::snprintf(ours, sizeof ours, "%.0f MB/s in, %.0f Mpixel/s (%.2f ms)",
                inputBytes / median / 1e6, double(kLargeSide) * kLargeSide / median / 1e6,
                median * 1e3);
  AddTableRow({figure, ours, "-", "-", "report only", "-"});
}

}  // namespace

BENCHMARK(BM_DecodePalette8);
BENCHMARK(BM_DecodeRle8);
BENCHMARK(BM_DecodeBitFields32);
BENCHMARK(BM_DecodeRgb555);
BENCHMARK(BM_DecodeTopDown24);
BENCHMARK(BM_DecodePalette8Rgb);
BENCHMARK(BM_DecodeTopDown24Rgb);

int main(int argc, char** argv) {
  return RunBenchmarksThenReport(argc, argv, ReportLargePalette);
}
