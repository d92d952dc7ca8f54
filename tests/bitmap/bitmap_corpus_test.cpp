// The loader and writer against the public BMP test corpus: good, odd, broken and foreign files.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bitmap.h"
#include "bitmap_files.h"
#include "load_outcome.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(VELMORAK_SHARED_DIR) / "bmpsuite";

struct Contract {
  Outcome outcome;
  uint32_t pixelSize;
};

// What the loader owes for these bytes, worked out from the file alone.
Contract ContractFor(const Bytes& file) {
  if (file.size() < 14 || file[0] != 'B' || file[1] != 'M') return {Outcome::FailsInfoUntouched, 0};
  const Contract refused = {Outcome::FailsInfoNull, 0};
  const int64_t offBits = GetLittleEndian32(file, 10);
  if (offBits < 54 || offBits > static_cast<int64_t>(file.size())) return refused;
  const int64_t width = static_cast<int32_t>(GetLittleEndian32(file, 18));
  const int64_t height = static_cast<int32_t>(GetLittleEndian32(file, 22));
  const int64_t bitCount = GetLittleEndian16(file, 28);
  int64_t size = GetLittleEndian32(file, 34);
  if (size == 0) {
    if (width < 0 || height == INT32_MIN || width * bitCount + 31 > INT32_MAX) return refused;
    size = (width * bitCount + 31) / 32 * 4 * (height < 0 ? -height : height);
  }
  if (size > INT32_MAX || offBits + size > static_cast<int64_t>(file.size())) return refused;
  return {Outcome::Loads, static_cast<uint32_t>(size)};
}

std::vector<fs::path> CorpusFiles(const char* folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kCorpus / folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

class Corpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kCorpus / "g")) {
      GTEST_SKIP() << "no BMP corpus at " << kCorpus << " (set VELMORAK_SHARED_DIR to the folder "
                   << "holding bmpsuite/ to run these)";
    }
  }

  // Loads every file of the folder and holds each result to the contract; returns how many
  // loaded.
  int LoadFolder(const char* folder) {
    int loaded = 0;
    for (const fs::path& path : CorpusFiles(folder)) {
      SCOPED_TRACE(path.string());
      const Bytes file = ReadFileBytes(path.string());
      const Contract contract = ContractFor(file);
      BitmapInfo* info = &untouchedSentinel;
      BitmapSizes sizes{};
      unsigned char* pixels = LoadBitmapFileSized(path.string().c_str(), &info, &sizes);
      ExpectLoadOutcome(file, contract.outcome, contract.pixelSize, pixels, info, sizes);
      loaded += contract.outcome == Outcome::Loads;
    }
    return loaded;
  }
};

TEST_F(Corpus, GoodFilesLoadByTheContract) {
  // Only the OS/2 file, whose header puts its fields elsewhere, can't be read as a 40-byte header.
  EXPECT_EQ(LoadFolder("g"), static_cast<int>(CorpusFiles("g").size()) - 1);
}

TEST_F(Corpus, QuestionableFilesLoadByTheContract) {
  LoadFolder("q");
}

TEST_F(Corpus, BadFilesLoadOrFailByTheContract) {
  LoadFolder("b");
}

TEST_F(Corpus, ForeignSignatureFails) {
  EXPECT_EQ(LoadFolder("x"), 0);
}

// Ties the pixel layout that the frame hands to the GL to an independent decoder's picture:
// bottom row first, blue-green-red, rows padded to 4 bytes.
TEST_F(Corpus, Rgb24PixelsMatchReferenceDecoding) {
  const Bytes ppm = ReadFileBytes((kCorpus / "ref" / "rgb24.ppm").string());
  const std::string prologue = "P6\n127 64\n255\n";
  ASSERT_EQ(std::string(ppm.begin(), ppm.begin() + prologue.size()), prologue);
  BitmapInfo* info = nullptr;
  unsigned char* pixels = LoadBitmapFile((kCorpus / "g" / "rgb24.bmp").string().c_str(), &info);
  ASSERT_NE(pixels, nullptr);
  ASSERT_EQ(info->biWidth, 127);
  ASSERT_EQ(info->biHeight, 64);
  int mismatches = 0;
  for (int row = 0; row < 64; ++row) {
    for (int column = 0; column < 127; ++column) {
      const unsigned char* bgr = pixels + (63 - row) * 384 + column * 3;
      const unsigned char* rgb = ppm.data() + prologue.size() + (row * 127 + column) * 3;
      mismatches += bgr[0] != rgb[2] || bgr[1] != rgb[1] || bgr[2] != rgb[0];
    }
  }
  EXPECT_EQ(mismatches, 0);
  ReleaseBitmapInfo(info);
  ReleaseBitmapPixels(pixels);
}

class CorpusRoundTrip : public Corpus {
 protected:
  // Loads a corpus file and saves it again; returns the written bytes.
  Bytes Resave(const char* name) {
    BitmapInfo* info = nullptr;
    unsigned char* pixels = LoadBitmapFile((kCorpus / name).string().c_str(), &info);
    EXPECT_NE(pixels, nullptr) << name;
    if (pixels == nullptr) return {};
    const std::string path = folder_.Path("resaved.bmp");
    EXPECT_EQ(SaveBitmapFile(path.c_str(), info, pixels), 0) << name;
    ReleaseBitmapInfo(info);
    ReleaseBitmapPixels(pixels);
    return ReadFileBytes(path);
  }
  ScratchFolder folder_{"velmorak-bitmap"};
};

// Files whose info block is exactly header, masks and colour table, with a right bfSize and
// nothing after the pixels, across bit depths and encodings.
TEST_F(CorpusRoundTrip, TightFilesAreSavedByteForByte) {
  const char* const names[] = {"g/pal1.bmp",         "g/pal4.bmp",    "g/pal4rle.bmp",
                               "g/pal8.bmp",         "g/pal8-0.bmp",  "g/pal8rle.bmp",
                               "g/pal8topdown.bmp",  "g/rgb16.bmp",   "g/rgb16-565.bmp",
                               "g/rgb16-565pal.bmp", "g/rgb24.bmp",   "g/rgb24pal.bmp",
                               "g/rgb32.bmp",        "g/rgb32bf.bmp", "q/pal8oversizepal.bmp"};
  for (const char* name : names) {
    EXPECT_EQ(Resave(name), ReadFileBytes((kCorpus / name).string())) << name;
  }
}

// A larger info header or a gap before the pixels is cut to header plus colour table; the file
// header follows from what is written.
TEST_F(CorpusRoundTrip, LongerInfoBlocksAreCutToTheInfoSize) {
  for (const char* name : {"g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal8offs.bmp"}) {
    SCOPED_TRACE(name);
    const Bytes source = ReadFileBytes((kCorpus / name).string());
    const Bytes written = Resave(name);
    const uint32_t infoSize = 40 + 4 * GetLittleEndian32(source, 46);
    const uint32_t sourceOffBits = GetLittleEndian32(source, 10);
    const size_t pixelSize = source.size() - sourceOffBits;
    ASSERT_EQ(written.size(), 14 + infoSize + pixelSize);
    EXPECT_EQ(GetLittleEndian32(written, 2), written.size());
    EXPECT_EQ(GetLittleEndian32(written, 10), 14 + infoSize);
    EXPECT_TRUE(
        std::equal(written.begin() + 14, written.begin() + 14 + infoSize, source.begin() + 14));
    EXPECT_TRUE(
        std::equal(written.begin() + 14 + infoSize, written.end(), source.begin() + sourceOffBits));
  }
}

}  // namespace
