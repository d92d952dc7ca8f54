// How long the loader takes for one 256 x 256 24-bit picture, the size of the game's own two.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bitmap.h"

namespace fs = std::filesystem;

namespace {

// A picture file in a private temporary folder that goes away with it.
class PictureFile {
 public:
  PictureFile() {
    std::string pattern = (fs::temp_directory_path() / "velmorak-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    path_ = folder_ + "/picture.bmp";
    BitmapInfo info{40, 256, 256, 1, 24, 0, 0, 2835, 2835, 0, 0};
    std::vector<unsigned char> pixels(256 * 256 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7);
    written_ = !folder_.empty() && SaveBitmapFile(path_.c_str(), &info, pixels.data()) == 0;
  }
  ~PictureFile() {
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }
  bool Written() const { return written_; }
  const char* Path() const { return path_.c_str(); }

 private:
  std::string folder_;
  std::string path_;
  bool written_ = false;
};

void BM_LoadBitmap256x256x24(benchmark::State& state) {
  PictureFile file;
  if (!file.Written()) {
    state.SkipWithError("cannot write the picture to a temporary folder");
    return;
  }
  for (auto _ : state) {
    BitmapInfo* info = nullptr;
    unsigned char* pixels = LoadBitmapFile(file.Path(), &info);
    benchmark::DoNotOptimize(pixels);
    if (pixels == nullptr) state.SkipWithError("the picture did not load");
    ReleaseBitmapInfo(info);
    ReleaseBitmapPixels(pixels);
  }
  state.SetBytesProcessed(state.iterations() * int64_t{54 + 256 * 256 * 3});
}
BENCHMARK(BM_LoadBitmap256x256x24);

}  // namespace
