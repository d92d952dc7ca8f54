// Checks a load's blocks against the bytes of the file it read.
#include "load_outcome.h"

#include <gtest/gtest.h>

#include <cstring>

BitmapInfo untouchedSentinel;

void ExpectLoadOutcome(const Bytes& file, Outcome outcome, uint32_t pixelSize,
                       unsigned char* pixels, BitmapInfo* info, const BitmapSizes& sizes) {
  if (outcome != Outcome::Loads) {
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(info, outcome == Outcome::FailsInfoNull ? nullptr : &untouchedSentinel);
    EXPECT_EQ(sizes.infoSize, 0u);
    EXPECT_EQ(sizes.pixelSize, 0u);
    ReleaseBitmapPixels(pixels);
    return;
  }
  ASSERT_NE(pixels, nullptr);
  ASSERT_NE(info, nullptr);
  const uint32_t offBits = GetLittleEndian32(file, 10);
  EXPECT_EQ(sizes.infoSize, offBits - 14);
  EXPECT_EQ(sizes.pixelSize, pixelSize);
  ASSERT_LE(offBits + size_t{pixelSize}, file.size());
  EXPECT_EQ(0, std::memcmp(info, file.data() + 14, offBits - 14));
  EXPECT_EQ(0, std::memcmp(pixels, file.data() + offBits, pixelSize));
  ReleaseBitmapInfo(info);
  ReleaseBitmapPixels(pixels);
}
