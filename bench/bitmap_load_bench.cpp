// How long the loader takes: for one picture of the size the game uses, and for a 4096 x 4096
// 24-bit picture against a plain read of the same file and against stb_image decoding it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stb_image.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "bitmap.h"
#include "temp_folder.h"

namespace {

// A 24-bit picture file in a private temporary folder that goes away with it.
class PictureFile {
 public:
  explicit PictureFile(int32_t side) {
    if (!folder_.Create("velmorak-bench")) return;
    path_ = folder_.Path("picture.bmp");
    BitmapInfo info{40, side, side, 1, 24, 0, 0, 2835, 2835, 0, 0};
    // The side is a multiple of 4, so rows need no fill bytes.
    std::vector<unsigned char> pixels(size_t(side) * side * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7);
    written_ = SaveBitmapFile(path_.c_str(), &info, pixels.data()) == 0;
  }
  bool Written() const { return written_; }
  const char* Path() const { return path_.c_str(); }

 private:
  ScratchFolder folder_;
  std::string path_;
  bool written_ = false;
};

// Each contender loads the whole file and frees what it got; false when it couldn't.
bool LoadWithOurs(const char* path) {
  BitmapInfo* info = nullptr;
  unsigned char* pixels = LoadBitmapFile(path, &info);
  benchmark::DoNotOptimize(pixels);
  ReleaseBitmapInfo(info);
  ReleaseBitmapPixels(pixels);
  return pixels != nullptr;
}

void* PlainBuffer(size_t size) {
  return std::malloc(size);
}

// The buffer the loader itself gets for a large picture: aligned to 2 MiB pages and marked for
// them, so the fresh buffer costs a few page faults instead of one per 4 KiB.
void* LargePageBuffer(size_t size) {
  constexpr size_t kLargePage = 2 * 1024 * 1024;
  void* block = nullptr;
  if (posix_memalign(&block, kLargePage, size) != 0) return nullptr;
  madvise(block, size / kLargePage * kLargePage, MADV_HUGEPAGE);
  return block;
}

// The least any loader must do: one read of the whole file into one fresh buffer.
bool ReadWholeFile(const char* path, void* (*allocate)(size_t)) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status;
  bool whole = false;
  if (fstat(fd, &status) == 0) {
    size_t size = static_cast<size_t>(status.st_size);
    unsigned char* buffer = static_cast<unsigned char*>(allocate(size));
    size_t filled = 0;
    while (buffer != nullptr && filled < size) {
      ssize_t got = read(fd, buffer + filled, size - filled);
      if (got <= 0) break;
      filled += static_cast<size_t>(got);
    }
    whole = buffer != nullptr && filled == size;
    benchmark::DoNotOptimize(buffer);
    std::free(buffer);
  }
  close(fd);
  return whole;
}

bool LoadPlainly(const char* path) {
  return ReadWholeFile(path, PlainBuffer);
}

bool LoadPlainlyIntoLargePages(const char* path) {
  return ReadWholeFile(path, LargePageBuffer);
}

bool LoadWithStb(const char* path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(path, &width, &height, &channels, 0);
  benchmark::DoNotOptimize(pixels);
  stbi_image_free(pixels);
  return pixels != nullptr;
}

void BM_LoadBitmap256x256x24(benchmark::State& state) {
  PictureFile file(256);
  if (!file.Written()) {
    state.SkipWithError("cannot write the picture to a temporary folder");
    return;
  }
  for (auto _ : state) {
    if (!LoadWithOurs(file.Path())) state.SkipWithError("the picture did not load");
  }
  state.SetBytesProcessed(state.iterations() * int64_t{54 + 256 * 256 * 3});
}
BENCHMARK(BM_LoadBitmap256x256x24);

using Loader = bool (*)(const char*);

// A fast loader that hands back other bytes would be no loader: its pixel buffer must be the
// file's bytes from offset 54 on, exactly.
bool LoaderKeepsTheBytes(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  std::vector<unsigned char> bytes;
  unsigned char chunk[1 << 16];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  std::fclose(file);
  BitmapInfo* info = nullptr;
  BitmapSizes sizes{};
  unsigned char* pixels = LoadBitmapFileSized(path, &info, &sizes);
  bool same = pixels != nullptr && bytes.size() == 54 + size_t{sizes.pixelSize} &&
              std::equal(bytes.begin() + 54, bytes.end(), pixels);
  ReleaseBitmapInfo(info);
  ReleaseBitmapPixels(pixels);
  return same;
}

enum Contender { Ours, Plain, PlainLargePages, Stb, kContenders };

// They take turns, each round in a different order, so that whatever else the machine does
// during the run falls on all of them alike. One load of each first puts the file in the page
// cache and the allocator in its steady state.
bool CompareLoaders(const char* path, int rounds, Samples results[kContenders]) {
  const Loader loaders[kContenders] = {LoadWithOurs, LoadPlainly, LoadPlainlyIntoLargePages,
                                       LoadWithStb};
  const char* names[kContenders] = {"our loader", "the plain read", "the large-page read",
                                    "stb_image"};
  for (int i = 0; i < kContenders; ++i) {
    if (!loaders[i](path)) {
      std::fprintf(stderr, "bitmap_load_bench: %s could not load %s\n", names[i], path);
      return false;
    }
  }
  for (int round = 0; round < rounds; ++round) {
    for (int k = 0; k < kContenders; ++k) {
      int which = (round + k) % kContenders;
      double start = BenchSeconds();
      loaders[which](path);
      results[which].Add(BenchSeconds() - start);
    }
  }
  return true;
}

void ReportLargeLoad(bool quick) {
  constexpr int32_t kSide = 4096;
  PictureFile file(kSide);
  if (!file.Written()) {
    std::fprintf(stderr, "bitmap_load_bench: cannot write a %d x %d picture\n", kSide, kSide);
    AddTableRow({"loader, 4096×4096 24-bit (48 MiB)", "not measured", "-", "-", "-", "misses"});
    return;
  }
  const bool same = LoaderKeepsTheBytes(file.Path());
  if (!same) std::fprintf(stderr, "bitmap_load_bench: the loader changed the pixel bytes\n");
  Samples results[kContenders];
  if (!CompareLoaders(file.Path(), quick ? 3 : 15, results)) {
    AddTableRow({"loader, 4096×4096 24-bit (48 MiB)", "not measured", "-", "-", "-", "misses"});
    return;
  }
  const double ours = results[Ours].Median(), plain = results[Plain].Median();
  const double large = results[PlainLargePages].Median(), stb = results[Stb].Median();
  AddTableRow({"loader, 4096×4096 24-bit (48 MiB), median", FormatMilliseconds(ours),
               FormatMilliseconds(plain) + " (open/fstat/malloc/read)", FormatRatio(ours / plain),
               "<= 1.1", Verdict(same && ours <= 1.1 * plain)});
  AddTableRow({"loader, same file, against a read into a buffer like its own",
               FormatMilliseconds(ours), FormatMilliseconds(large) + " (read into 2 MiB pages)",
               FormatRatio(ours / large), "report only", "-"});
  AddTableRow({"loader against stb_image, same file, median", FormatMilliseconds(ours),
               FormatMilliseconds(stb) + " (stbi_load)", FormatRatio(ours / stb),
               "<= 0.333 (3x faster)", Verdict(same && ours * 3.0 <= stb)});
}

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksThenReport(argc, argv, ReportLargeLoad);
}
