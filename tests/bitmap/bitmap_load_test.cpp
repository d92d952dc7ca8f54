// The loader against small hand-built files: the size rule, hostile headers, streams and pipes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <thread>

#include "bitmap.h"
#include "bitmap_files.h"
#include "load_outcome.h"
#include "temp_folder.h"

namespace {

struct LoadCase {
  const char* name;
  Bytes file;
  Outcome outcome;
  uint32_t pixelSize;  // when it loads
};

Bytes Built(const std::function<void(BitmapFields&)>& change) {
  BitmapFields fields;
  change(fields);
  return BuildBitmap(fields);
}

Bytes Patched(Bytes bytes, size_t offset, uint32_t value) {
  PutLittleEndian32(bytes, offset, value);
  return bytes;
}

Bytes CutTo(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes Plain() {
  return BuildBitmap(BitmapFields{});
}

// A 54-byte file (plus extra bytes) whose header claims a 16384 x 16384 24-bit picture.
Bytes HugeClaim(size_t bytesAfterHeader) {
  return Built([&](BitmapFields& f) {
    f.width = f.height = 16384;
    f.pixelBytes = bytesAfterHeader;
  });
}

class LoadTable : public ::testing::TestWithParam<LoadCase> {
 protected:
  ScratchFolder folder_{"velmorak-bitmap"};
};

TEST_P(LoadTable, OutcomeFollowsTheContract) {
  const LoadCase& c = GetParam();
  const std::string path = folder_.Path("case.bmp");
  WriteFileBytes(path, c.file);
  const int descriptorsBefore = OpenDescriptorCount();
  BitmapInfo* info = &untouchedSentinel;
  BitmapSizes sizes{7, 7};
  unsigned char* pixels = LoadBitmapFileSized(path.c_str(), &info, &sizes);
  EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore) << "the file was left open";
  ExpectLoadOutcome(c.file, c.outcome, c.pixelSize, pixels, info, sizes);
}

// The same files through a memory stream, which has no descriptor to measure.
TEST_P(LoadTable, MemoryStreamGivesTheSameOutcome) {
  const LoadCase& c = GetParam();
  Bytes copy = c.file;
  std::FILE* stream = OpenMemoryStream(copy);
  ASSERT_NE(stream, nullptr);
  BitmapInfo* info = &untouchedSentinel;
  BitmapSizes sizes{};
  unsigned char* pixels = LoadBitmapStream(stream, &info, &sizes);
  std::fclose(stream);
  ExpectLoadOutcome(c.file, c.outcome, c.pixelSize, pixels, info, sizes);
}

std::string CaseName(const ::testing::TestParamInfo<LoadCase>& info) {
  return info.param.name;
}

const LoadCase kSizeRuleCases[] = {
    {"Rgb24_3x2_StrideTwelve", Plain(), Outcome::Loads, 24},
    {"Mono_10x3_StrideFour",
     Built([](BitmapFields& f) { f.width = 10, f.height = 3, f.bitCount = 1, f.pixelBytes = 12; }),
     Outcome::Loads, 12},
    {"Rgb24_4x4", Built([](BitmapFields& f) { f.width = f.height = 4, f.pixelBytes = 48; }),
     Outcome::Loads, 48},
    {"SizeImageBelowDimensions",
     Built([](BitmapFields& f) { f.width = f.height = 4, f.sizeImage = 5, f.pixelBytes = 48; }),
     Outcome::Loads, 5},
    {"SizeImageAboveDimensions", Built([](BitmapFields& f) { f.sizeImage = f.pixelBytes = 30; }),
     Outcome::Loads, 30},
    {"SizeImageOne", Built([](BitmapFields& f) { f.sizeImage = 1; }), Outcome::Loads, 1},
    {"TopDownCountsAbsoluteHeight", Built([](BitmapFields& f) { f.height = -2; }), Outcome::Loads,
     24},
    {"ZeroWidthGivesEmptyBuffer", Built([](BitmapFields& f) { f.width = 0, f.pixelBytes = 0; }),
     Outcome::Loads, 0},
    {"ZeroHeightGivesEmptyBuffer", Built([](BitmapFields& f) { f.height = 0, f.pixelBytes = 0; }),
     Outcome::Loads, 0},
    {"BitCountZero", Built([](BitmapFields& f) { f.bitCount = 0, f.pixelBytes = 0; }),
     Outcome::Loads, 0},
    {"BitCount64",
     Built([](BitmapFields& f) { f.width = 2, f.height = 1, f.bitCount = 64, f.pixelBytes = 16; }),
     Outcome::Loads, 16},
    {"BytesAfterPixelsIgnored", Built([](BitmapFields& f) { f.trailingBytes = 100; }),
     Outcome::Loads, 24},
    {"GapBeforePixelsBelongsToInfo",
     Built([](BitmapFields& f) { f.bitCount = 8, f.offBits = 54 + 1024 + 20, f.pixelBytes = 8; }),
     Outcome::Loads, 8},
    {"InfoHeaderSizeZeroIgnored", Built([](BitmapFields& f) { f.infoHeaderSize = 0; }),
     Outcome::Loads, 24},
    {"InfoHeaderSizeHugeIgnored", Built([](BitmapFields& f) { f.infoHeaderSize = 0xFFFFFFFF; }),
     Outcome::Loads, 24},
    {"AnyEncodingLoadsAsStored", Built([](BitmapFields& f) {
       f.compression = 1, f.bitCount = 8, f.sizeImage = f.pixelBytes = 10;
     }),
     Outcome::Loads, 10},
    // Pixel arrays from 4 MiB on are allocated on large-page boundaries; on both sides of that
    // line, and with a size that isn't a whole number of large pages, they hold the file's bytes.
    {"Rgb24_JustBelowLargeBlock",
     Built([](BitmapFields& f) { f.width = 1024, f.height = 1365, f.pixelBytes = 4193280; }),
     Outcome::Loads, 4193280},
    {"Rgb24_LargeBlockPartPage",
     Built([](BitmapFields& f) { f.width = 1024, f.height = 1366, f.pixelBytes = 4196352; }),
     Outcome::Loads, 4196352},
};
INSTANTIATE_TEST_SUITE_P(SizeRule, LoadTable, ::testing::ValuesIn(kSizeRuleCases), CaseName);

const LoadCase kHostileCases[] = {
    {"EmptyFile", Bytes{}, Outcome::FailsInfoUntouched, 0},
    {"ThirteenBytes", CutTo(Plain(), 13), Outcome::FailsInfoUntouched, 0},
    {"SignatureMB", Patched(Plain(), 0, 0x4D42 << 8 | 0x4D), Outcome::FailsInfoUntouched, 0},
    {"SignatureLowerCase", Patched(Plain(), 0, GetLittleEndian32(Plain(), 0) | 0x2020),
     Outcome::FailsInfoUntouched, 0},
    {"HeaderOnly", CutTo(Plain(), 14), Outcome::FailsInfoNull, 0},
    {"EndsInsideInfoHeader", CutTo(Plain(), 40), Outcome::FailsInfoNull, 0},
    {"OffBits0", Patched(Plain(), 10, 0), Outcome::FailsInfoNull, 0},
    {"OffBits13", Patched(Plain(), 10, 13), Outcome::FailsInfoNull, 0},
    {"OffBits14", Patched(Plain(), 10, 14), Outcome::FailsInfoNull, 0},
    {"OffBits20", Patched(Plain(), 10, 20), Outcome::FailsInfoNull, 0},
    {"OffBits53", Patched(Plain(), 10, 53), Outcome::FailsInfoNull, 0},
    {"OffBitsMax", Patched(Plain(), 10, 0xFFFFFFFF), Outcome::FailsInfoNull, 0},
    {"OffBitsPastEndOfFile", Patched(Plain(), 10, 2000), Outcome::FailsInfoNull, 0},
    {"WidthMinusOne", Built([](BitmapFields& f) { f.width = -1; }), Outcome::FailsInfoNull, 0},
    {"WidthIntMax24Bit", Built([](BitmapFields& f) { f.width = INT32_MAX; }),
     Outcome::FailsInfoNull, 0},
    {"WidthIntMax1BitRowOverflows",
     Built([](BitmapFields& f) { f.width = INT32_MAX, f.bitCount = 1; }), Outcome::FailsInfoNull,
     0},
    {"RowFitsButFileTooShort",
     Built([](BitmapFields& f) { f.width = 0x7FFFFFE0, f.height = 1, f.bitCount = 1; }),
     Outcome::FailsInfoNull, 0},
    {"HeightIntMin", Built([](BitmapFields& f) { f.height = INT32_MIN; }), Outcome::FailsInfoNull,
     0},
    {"HugeClaimIn54Bytes", HugeClaim(0), Outcome::FailsInfoNull, 0},
    {"HugeClaimIn60Bytes", HugeClaim(6), Outcome::FailsInfoNull, 0},
    {"Product65536Squared",
     Built([](BitmapFields& f) { f.width = f.height = 65536, f.bitCount = 8; }),
     Outcome::FailsInfoNull, 0},
    {"WidthTimesBitsPast32Bits",
     Built([](BitmapFields& f) { f.width = 0x10000000, f.bitCount = 16; }), Outcome::FailsInfoNull,
     0},
    {"BitCountMaxRowsTooLong", Built([](BitmapFields& f) { f.bitCount = 0xFFFF; }),
     Outcome::FailsInfoNull, 0},
    {"SizeImageMax", Built([](BitmapFields& f) { f.sizeImage = 0xFFFFFFFF; }),
     Outcome::FailsInfoNull, 0},
    {"SizeImageAboveIntMax", Built([](BitmapFields& f) { f.sizeImage = 0x80000000; }),
     Outcome::FailsInfoNull, 0},
    {"SizeImageIntMax", Built([](BitmapFields& f) { f.sizeImage = INT32_MAX; }),
     Outcome::FailsInfoNull, 0},
    {"PixelsOneByteShort", Built([](BitmapFields& f) { f.pixelBytes = 23; }),
     Outcome::FailsInfoNull, 0},
    {"SizeImagePixelsOneByteShort",
     Built([](BitmapFields& f) { f.sizeImage = 30, f.pixelBytes = 29; }), Outcome::FailsInfoNull,
     0},
};
INSTANTIATE_TEST_SUITE_P(Hostile, LoadTable, ::testing::ValuesIn(kHostileCases), CaseName);

class LoadTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{"velmorak-bitmap"};
};

TEST_F(LoadTest, MissingFileFailsAndLeavesInfoUntouched) {
  BitmapInfo* info = &untouchedSentinel;
  EXPECT_EQ(LoadBitmapFile(folder_.Path("absent.bmp").c_str(), &info), nullptr);
  EXPECT_EQ(info, &untouchedSentinel);
}

TEST_F(LoadTest, NullArgumentsFailWithoutTouchingAnything) {
  const std::string path = folder_.Path("plain.bmp");
  WriteFileBytes(path, Plain());
  BitmapInfo* info = &untouchedSentinel;
  EXPECT_EQ(LoadBitmapFile(nullptr, &info), nullptr);
  EXPECT_EQ(info, &untouchedSentinel);
  EXPECT_EQ(LoadBitmapFile(path.c_str(), nullptr), nullptr);
  EXPECT_EQ(LoadBitmapStream(nullptr, &info, nullptr), nullptr);
  EXPECT_EQ(info, &untouchedSentinel);
}

TEST_F(LoadTest, LoadingTwiceGivesIndependentBlocks) {
  const std::string path = folder_.Path("plain.bmp");
  WriteFileBytes(path, Plain());
  BitmapInfo* firstInfo = nullptr;
  BitmapInfo* secondInfo = nullptr;
  unsigned char* first = LoadBitmapFile(path.c_str(), &firstInfo);
  unsigned char* second = LoadBitmapFile(path.c_str(), &secondInfo);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // Released out of order and one at a time: a shared block would show as a double free.
  ReleaseBitmapPixels(first);
  ReleaseBitmapInfo(secondInfo);
  first = nullptr;
  EXPECT_EQ(firstInfo->biWidth, 3);
  EXPECT_EQ(0, std::memcmp(second, Plain().data() + 54, 24));
  ReleaseBitmapInfo(firstInfo);
  ReleaseBitmapPixels(second);
}

TEST_F(LoadTest, StreamIsReadFromItsCurrentPosition) {
  Bytes file = {'J', 'U', 'N', 'K'};
  const Bytes plain = Plain();
  file.insert(file.end(), plain.begin(), plain.end());
  std::FILE* stream = OpenMemoryStream(file);
  ASSERT_NE(stream, nullptr);
  std::fseek(stream, 4, SEEK_SET);
  BitmapInfo* info = nullptr;
  BitmapSizes sizes{};
  unsigned char* pixels = LoadBitmapStream(stream, &info, &sizes);
  std::fclose(stream);
  ExpectLoadOutcome(plain, Outcome::Loads, 24, pixels, info, sizes);
}

// Feeds bytes through a pipe, which can't be measured, from a thread of its own so that files
// larger than the pipe's buffer get through.
unsigned char* LoadThroughPipe(const Bytes& file, BitmapInfo** info, BitmapSizes* sizes) {
  int ends[2];
  if (!MakePipe(ends)) return nullptr;
  std::thread writer([&file, end = ends[1]] {
    size_t sent = 0;
    while (sent < file.size()) {
      const ssize_t n = write(end, file.data() + sent, file.size() - sent);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    close(end);
  });
  std::FILE* stream = fdopen(ends[0], "rb");
  unsigned char* pixels = LoadBitmapStream(stream, info, sizes);
  // Drain what the loader left so that the writer never blocks on a full pipe.
  while (std::fgetc(stream) != EOF) {
  }
  std::fclose(stream);
  writer.join();
  return pixels;
}

TEST_F(LoadTest, PipeLoadsPictureLargerThanItsBuffer) {
  const Bytes file = Built([](BitmapFields& f) {
    f.width = f.height = 256;
    f.pixelBytes = 256 * 256 * 3;
  });
  BitmapInfo* info = nullptr;
  BitmapSizes sizes{};
  unsigned char* pixels = LoadThroughPipe(file, &info, &sizes);
  ExpectLoadOutcome(file, Outcome::Loads, 256 * 256 * 3, pixels, info, sizes);
}

TEST_F(LoadTest, PipeRefusesClaimsItCannotBack) {
  const Bytes cases[] = {HugeClaim(6), Patched(Plain(), 10, 0xFFFFFFFF), CutTo(Plain(), 40)};
  for (const Bytes& file : cases) {
    BitmapInfo* info = &untouchedSentinel;
    BitmapSizes sizes{};
    unsigned char* pixels = LoadThroughPipe(file, &info, &sizes);
    ExpectLoadOutcome(file, Outcome::FailsInfoNull, 0, pixels, info, sizes);
  }
}

}  // namespace
