// The writer: how much of the info block goes out, the file header it derives, and refusals.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "bitmap.h"
#include "bitmap_files.h"
#include "load_outcome.h"
#include "temp_folder.h"

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

// A heap block of exactly the given length, so that a read past it is caught by the sanitizer.
struct ExactBlock {
  explicit ExactBlock(size_t size) : bytes(new unsigned char[size > 0 ? size : 1]), size(size) {
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 13 + 5);
  }
  BitmapInfo* Info() { return reinterpret_cast<BitmapInfo*>(bytes.get()); }
  std::unique_ptr<unsigned char[]> bytes;
  size_t size;
};

ExactBlock InfoBlock(size_t size, uint16_t bitCount, uint32_t compression, uint32_t clrUsed) {
  ExactBlock block(size);
  BitmapInfo header{40, 3, 2, 1, bitCount, compression, 0, 2835, 2835, clrUsed, 0};
  std::memcpy(block.bytes.get(), &header, sizeof header);
  return block;
}

struct InfoSizeCase {
  const char* name;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t clrUsed;
  uint32_t infoSize;
};

class InfoSizeTable : public ::testing::TestWithParam<InfoSizeCase> {
 protected:
  ScratchFolder folder_{"velmorak-bitmap"};
};

TEST_P(InfoSizeTable, WritesHeaderInfoAndPixelsOnly) {
  const InfoSizeCase& c = GetParam();
  ExactBlock info = InfoBlock(c.infoSize, c.bitCount, c.compression, c.clrUsed);
  const uint32_t stride = (3 * c.bitCount + 31) / 32 * 4;
  ExactBlock pixels(stride * 2);
  const std::string path = folder_.Path("out.bmp");
  ASSERT_EQ(SaveBitmapFile(path.c_str(), info.Info(), pixels.bytes.get()), 0);

  const Bytes file = ReadFileBytes(path);
  ASSERT_EQ(file.size(), 14 + c.infoSize + pixels.size);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(GetLittleEndian32(file, 2), file.size()) << "bfSize";
  EXPECT_EQ(GetLittleEndian32(file, 6), 0u) << "reserved fields";
  EXPECT_EQ(GetLittleEndian32(file, 10), 14 + c.infoSize) << "bfOffBits";
  EXPECT_EQ(0, std::memcmp(file.data() + 14, info.bytes.get(), c.infoSize));
  EXPECT_EQ(0, std::memcmp(file.data() + 14 + c.infoSize, pixels.bytes.get(), pixels.size));

  // And back: the loader must find exactly the written info bytes and pixels.
  BitmapInfo* loadedInfo = nullptr;
  BitmapSizes sizes{};
  unsigned char* loaded = LoadBitmapFileSized(path.c_str(), &loadedInfo, &sizes);
  ExpectLoadOutcome(file, Outcome::Loads, static_cast<uint32_t>(pixels.size), loaded, loadedInfo,
                    sizes);
}

std::string InfoSizeName(const ::testing::TestParamInfo<InfoSizeCase>& info) {
  return info.param.name;
}

const InfoSizeCase kInfoSizeCases[] = {
    {"Rgb24", 24, kRgb, 0, 40},
    {"Rgb24TwoColours", 24, kRgb, 2, 48},
    {"Rgb8FullTable", 8, kRgb, 0, 1064},
    {"Rgb8ClrUsedWins", 8, kRgb, 3, 52},
    {"Rgb1", 1, kRgb, 0, 48},
    {"Rgb0OneEntry", 0, kRgb, 0, 44},
    {"Rle4FullTable", 4, kRle4, 0, 104},
    {"Rle8FullTable", 8, kRle8, 0, 1064},
    {"Rle8ClrUsed", 8, kRle8, 5, 60},
    {"Rle12DefaultTable", 12, kRle8, 0, 40 + 4 * 4096},
    {"Bitfields16", 16, kBitfields, 0, 52},
    {"Bitfields16WithTable", 16, kBitfields, 2, 60},
    {"CompressionFourIgnoresTable", 8, 4, 7, 40},
    {"CompressionHugeIgnoresTable", 1, 0xFFFFFFFF, 0, 40},
};
INSTANTIATE_TEST_SUITE_P(Writer, InfoSizeTable, ::testing::ValuesIn(kInfoSizeCases), InfoSizeName);

class SaveTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{"velmorak-bitmap"};
};

TEST_F(SaveTest, Rgb24_3x2IsSeventyEightBytes) {
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  ExactBlock pixels(24);
  const std::string path = folder_.Path("small.bmp");
  ASSERT_EQ(SaveBitmapFile(path.c_str(), info.Info(), pixels.bytes.get()), 0);
  const Bytes file = ReadFileBytes(path);
  EXPECT_EQ(file.size(), 78u);
  EXPECT_EQ(GetLittleEndian32(file, 2), 78u);
  EXPECT_EQ(GetLittleEndian32(file, 34), 0u) << "a biSizeImage of 0 stays 0";
}

TEST_F(SaveTest, ExistingLongerFileIsReplacedWhole) {
  const std::string path = folder_.Path("old.bmp");
  WriteFileBytes(path, Bytes(5000, 0xAB));
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  ExactBlock pixels(24);
  ASSERT_EQ(SaveBitmapFile(path.c_str(), info.Info(), pixels.bytes.get()), 0);
  EXPECT_EQ(ReadFileBytes(path).size(), 78u);
}

TEST_F(SaveTest, EmptyPixelArrayNeedsNoBuffer) {
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  info.Info()->biHeight = 0;
  const std::string path = folder_.Path("empty.bmp");
  ASSERT_EQ(SaveBitmapFile(path.c_str(), info.Info(), nullptr), 0);
  EXPECT_EQ(ReadFileBytes(path).size(), 54u);
}

struct RefusalCase {
  const char* name;
  void (*spoil)(BitmapInfo&);
};

class RefusalTable : public ::testing::TestWithParam<RefusalCase> {
 protected:
  ScratchFolder folder_{"velmorak-bitmap"};
};

// The info block is exactly 40 bytes and the pixels exactly one small picture: a writer that
// trusted the spoiled field would read far past them.
TEST_P(RefusalTable, RefusesAndLeavesExistingFileAlone) {
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  GetParam().spoil(*info.Info());
  ExactBlock pixels(24);
  const std::string path = folder_.Path("keep.bmp");
  const Bytes before = {'k', 'e', 'e', 'p'};
  WriteFileBytes(path, before);
  EXPECT_EQ(SaveBitmapFile(path.c_str(), info.Info(), pixels.bytes.get()), -1);
  EXPECT_EQ(ReadFileBytes(path), before);
}

std::string RefusalName(const ::testing::TestParamInfo<RefusalCase>& info) {
  return info.param.name;
}

const RefusalCase kRefusalCases[] = {
    {"ClrUsedWrapsInfoSize", [](BitmapInfo& i) { i.biClrUsed = 0x40000000; }},
    {"ClrUsedMax", [](BitmapInfo& i) { i.biClrUsed = 0xFFFFFFFF; }},
    {"BitfieldsClrUsedWraps", [](BitmapInfo& i) { i.biCompression = 3, i.biClrUsed = 0x3FFFFFFD; }},
    {"FileSizePast32Bits", [](BitmapInfo& i) { i.biClrUsed = 0x3FFFFFF0; }},
    {"RleTableFor32Bits", [](BitmapInfo& i) { i.biCompression = 1, i.biBitCount = 32; }},
    {"RleTableForMaxBits", [](BitmapInfo& i) { i.biCompression = 2, i.biBitCount = 0xFFFF; }},
    {"NegativeWidth", [](BitmapInfo& i) { i.biWidth = -3; }},
    {"HeightIntMin", [](BitmapInfo& i) { i.biHeight = INT32_MIN; }},
    {"RowPast32Bits", [](BitmapInfo& i) { i.biWidth = INT32_MAX; }},
    {"ProductPast32Bits", [](BitmapInfo& i) { i.biWidth = i.biHeight = 65536; }},
    {"SizeImageAboveIntMax", [](BitmapInfo& i) { i.biSizeImage = 0x80000000; }},
};
INSTANTIATE_TEST_SUITE_P(Writer, RefusalTable, ::testing::ValuesIn(kRefusalCases), RefusalName);

TEST_F(SaveTest, MissingArgumentsAreRefused) {
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  ExactBlock pixels(24);
  const std::string path = folder_.Path("never.bmp");
  EXPECT_EQ(SaveBitmapFile(nullptr, info.Info(), pixels.bytes.get()), -1);
  EXPECT_EQ(SaveBitmapFile(path.c_str(), nullptr, pixels.bytes.get()), -1);
  EXPECT_EQ(SaveBitmapFile(path.c_str(), info.Info(), nullptr), -1);
  struct stat status;
  EXPECT_NE(stat(path.c_str(), &status), 0) << "a refused save created the file";
}

TEST_F(SaveTest, UnopenablePathFails) {
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  ExactBlock pixels(24);
  const std::string path = folder_.Path("no/such/folder/out.bmp");
  EXPECT_EQ(SaveBitmapFile(path.c_str(), info.Info(), pixels.bytes.get()), -1);
  EXPECT_EQ(SaveBitmapFile(folder_.path().c_str(), info.Info(), pixels.bytes.get()), -1);
}

// /dev/full accepts a buffered write and fails when the bytes go out: small files fail at the
// close, large ones during the writes. Either way the file did not get written.
TEST_F(SaveTest, FullDiskIsAFailure) {
  struct stat status;
  if (stat("/dev/full", &status) != 0) GTEST_SKIP() << "this system has no /dev/full";
  ExactBlock info = InfoBlock(40, 24, kRgb, 0);
  ExactBlock small(24);
  EXPECT_EQ(SaveBitmapFile("/dev/full", info.Info(), small.bytes.get()), -1);
  info.Info()->biWidth = info.Info()->biHeight = 256;
  ExactBlock large(256 * 256 * 3);
  EXPECT_EQ(SaveBitmapFile("/dev/full", info.Info(), large.bytes.get()), -1);
}

}  // namespace
