// The decoder against a public BMP corpus: good files match reference pictures in both row
// layouts, the rest decode or are refused without a stray read (run it under the asan preset
// too).
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bitmap.h"
#include "picture_decode.h"

namespace {

const std::string kCorpus = std::string(VELMORAK_SHARED_DIR) + "/bmpsuite";

std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      names.push_back(name);
    }
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool CorpusMissing() {
  return FilesIn(kCorpus + "/g", ".bmp").empty();
}

// Files per folder the decoder shows and refuses, printed so that a change to the decoder or the
// loader that moves a file from one side to the other shows up in the log.
struct Tally {
  int shown = 0;
  int refused = 0;
};

void PrintTally(const std::map<std::string, Tally>& tally) {
  for (const auto& [folder, t] : tally) {
    std::cout << folder << "/: " << t.shown << " shown, " << t.refused << " refused\n";
  }
}

// A binary PPM (P6, maxval 255), top row first, as rgb bytes.
struct Reference {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

bool ReadPpm(const std::string& path, Reference* ref) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  int maxValue = 0;
  bool ok = std::fscanf(file, "P6 %d %d %d", &ref->width, &ref->height, &maxValue) == 3 &&
            maxValue == 255 && std::fgetc(file) != EOF && ref->width > 0 && ref->height > 0;
  if (ok) {
    ref->rgb.resize(static_cast<size_t>(ref->width) * ref->height * 3);
    ok = std::fread(ref->rgb.data(), 1, ref->rgb.size(), file) == ref->rgb.size();
  }
  std::fclose(file);
  return ok;
}

// The loader's blocks, released at the end of the scope.
struct Loaded {
  BitmapInfo* info = nullptr;
  unsigned char* pixels = nullptr;
  BitmapSizes sizes{};
  explicit Loaded(const std::string& path) {
    pixels = LoadBitmapFileSized(path.c_str(), &info, &sizes);
    if (pixels == nullptr) info = nullptr;
  }
  ~Loaded() {
    ReleaseBitmapPixels(pixels);
    ReleaseBitmapInfo(info);
  }
  bool Decode(DecodedPicture* out,
              PixelLayout layout = PixelLayout::kBottomUpBgrPadded) const {
    return pixels != nullptr && DecodePicture(reinterpret_cast<const unsigned char*>(info),
                                              sizes.infoSize, pixels, sizes.pixelSize, out, layout);
  }
};

// Pixels further than tolerance from the reference in any channel; the first one is described.
int CountMismatches(const DecodedPicture& got, const Reference& ref, int tolerance,
                    std::string* first) {
  int mismatches = 0;
  size_t stride = RowLength(got.width, got.layout);
  bool bgr = got.layout == PixelLayout::kBottomUpBgrPadded;
  for (int y = 0; y < ref.height; ++y) {
    const unsigned char* row = got.pixels.data() + (ref.height - 1 - y) * stride;
    for (int x = 0; x < ref.width; ++x) {
      const unsigned char* want = &ref.rgb[(static_cast<size_t>(y) * ref.width + x) * 3];
      const unsigned char* pixel = row + 3 * x;
      int rgb[3] = {pixel[bgr ? 2 : 0], pixel[1], pixel[bgr ? 0 : 2]};
      bool close = true;
      for (int c = 0; c < 3; ++c) close = close && std::abs(rgb[c] - want[c]) <= tolerance;
      if (!close && mismatches++ == 0) {
        *first = "at (" + std::to_string(x) + ", " + std::to_string(y) + " from the top): got " +
                 std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," +
                 std::to_string(rgb[2]) + " want " + std::to_string(want[0]) + "," +
                 std::to_string(want[1]) + "," + std::to_string(want[2]);
      }
    }
  }
  return mismatches;
}

TEST(PictureCorpus, GoodFilesMatchTheirReferencePictures) {
  if (CorpusMissing()) GTEST_SKIP() << "BMP corpus not found under " << kCorpus;
  // The OS/2 core header keeps its sides where the loader's size rule can't read them, so the
  // loader may refuse the file before the decoder sees it.
  const std::set<std::string> mayFallBack = {"pal8os2.bmp"};
  std::map<std::string, Tally> tally;
  for (const std::string& name : FilesIn(kCorpus + "/g", ".bmp")) {
    SCOPED_TRACE(name);
    Loaded loaded(kCorpus + "/g/" + name);
    DecodedPicture picture;
    bool decoded = loaded.Decode(&picture);
    ++(decoded ? tally["g"].shown : tally["g"].refused);
    if (!decoded && mayFallBack.count(name) != 0) continue;
    ASSERT_TRUE(decoded) << (loaded.pixels == nullptr ? "the loader refused it" : "refused");
    Reference ref;
    ASSERT_TRUE(ReadPpm(kCorpus + "/ref/" + name.substr(0, name.size() - 4) + ".ppm", &ref));
    DecodedPicture packed;
    ASSERT_TRUE(loaded.Decode(&packed, PixelLayout::kBottomUpRgbPacked));
    for (const DecodedPicture* got : {&picture, &packed}) {
      ASSERT_EQ(got->width, ref.width);
      ASSERT_EQ(got->height, ref.height);
      ASSERT_EQ(got->pixels.size(), RowLength(ref.width, got->layout) * ref.height);
      std::string first;
      EXPECT_EQ(CountMismatches(*got, ref, 2, &first), 0) << "first " << first;
    }
  }
  PrintTally(tally);
}

// Kinds beyond the good set that a user's painting program may still write, and which show.
TEST(PictureCorpus, UnusualButSoundFilesShow) {
  if (CorpusMissing()) GTEST_SKIP() << "BMP corpus not found under " << kCorpus;
  const char* shown[] = {
      "pal1p1.bmp",          "pal2.bmp",           "pal2color.bmp",      "pal4rletrns.bmp",
      "pal8rletrns.bmp",     "pal4rlecut.bmp",     "pal8rlecut.bmp",     "pal8offs.bmp",
      "pal8oversizepal.bmp", "pal8os2v2.bmp",      "rgb16-231.bmp",      "rgb16-3103.bmp",
      "rgb32-111110.bmp",    "rgb32-7187.bmp",     "rgb32-xbgr.bmp",     "rgb32h52.bmp",
      "rgba32h56.bmp",       "rgba32abf.bmp",      "rgba32-1010102.bmp", "rgba16-4444.bmp",
      "rgb24largepal.bmp",   "rgb32fakealpha.bmp",
  };
  for (const char* name : shown) {
    SCOPED_TRACE(name);
    Loaded loaded(kCorpus + "/q/" + name);
    DecodedPicture picture;
    EXPECT_TRUE(loaded.Decode(&picture));
  }
}

// Whatever the file, the outcome is a picture of the size it claims or a refusal; a stray read
// or write shows up under the sanitizers.
TEST(PictureCorpus, EveryOtherFileDecodesOrIsRefused) {
  if (CorpusMissing()) GTEST_SKIP() << "BMP corpus not found under " << kCorpus;
  // Encodings nothing here reads, and headers that can't be trusted.
  const std::set<std::string> refused = {"pal1huffmsb.bmp", "rgb24jpeg.bmp", "rgb24png.bmp",
                                         "rgb24rle24.bmp",  "rgba64.bmp",    "badbitcount.bmp",
                                         "badwidth.bmp",    "reallybig.bmp", "rletopdown.bmp",
                                         "ba-bm.bmp",       "shortfile.bmp", "badheadersize.bmp"};
  int files = 0;
  std::map<std::string, Tally> tally;
  for (const char* folder : {"q", "b", "x"}) {
    for (const std::string& name : FilesIn(kCorpus + "/" + folder, ".bmp")) {
      SCOPED_TRACE(std::string(folder) + "/" + name);
      ++files;
      Loaded loaded(kCorpus + "/" + folder + "/" + name);
      DecodedPicture picture;
      bool decoded = loaded.Decode(&picture);
      ++(decoded ? tally[folder].shown : tally[folder].refused);
      DecodedPicture packed;
      EXPECT_EQ(loaded.Decode(&packed, PixelLayout::kBottomUpRgbPacked), decoded);
      if (refused.count(name) != 0) {
        EXPECT_FALSE(decoded);
      }
      if (!decoded) {
        EXPECT_TRUE(picture.pixels.empty());
        continue;
      }
      EXPECT_GE(picture.width, 1);
      EXPECT_GE(picture.height, 1);
      EXPECT_EQ(picture.pixels.size(), BgrRowLength(picture.width) * picture.height);
    }
  }
  EXPECT_GT(files, 0);
  PrintTally(tally);
}

}  // namespace
