// The start-up dialogue, byte for byte, and what each typed answer makes of the level and pace.
#include "console.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "expected_output.h"

namespace {

const std::string kBanner = BannerAndPrompt();

struct TypedLevel {
  const char* typed;
  int32_t level;
  int32_t interval;
};

class LevelDialogue : public testing::TestWithParam<TypedLevel> {};

TEST_P(LevelDialogue, PrintsTheBannerAndReadsTheLevel) {
  std::istringstream in(GetParam().typed);
  std::ostringstream out;
  int32_t level = RunLevelDialogue(in, out);
  EXPECT_EQ(out.str(), kBanner);
  EXPECT_EQ(level, GetParam().level);
  EXPECT_EQ(TickIntervalForLevel(level), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LevelDialogue,
    testing::Values(TypedLevel{"1\n", 1, 220}, TypedLevel{"2\n", 2, 180}, TypedLevel{"3\n", 3, 120},
                    TypedLevel{"4\n", 4, 100}, TypedLevel{"5\n", 5, 80}, TypedLevel{"6\n", 6, 60},
                    TypedLevel{"7\n", 7, 30}, TypedLevel{"8\n", 8, 10},
                    // Out of range keeps what was typed but plays at the announced default.
                    TypedLevel{"0\n", 0, 80}, TypedLevel{"9\n", 9, 80}, TypedLevel{"12\n", 12, 80},
                    TypedLevel{"-3\n", -3, 80}, TypedLevel{" 7 \n", 7, 30},
                    TypedLevel{"\n\n  4", 4, 100}, TypedLevel{"6abc\n", 6, 60},
                    // Nothing readable leaves the level at 0, never a half-read value.
                    TypedLevel{"abc\n", 0, 80}, TypedLevel{"", 0, 80},
                    TypedLevel{"99999999999\n", 0, 80}, TypedLevel{"-99999999999\n", 0, 80},
                    TypedLevel{"2147483647\n", INT_MAX, 80},
                    TypedLevel{"-2147483648\n", INT_MIN, 80}));

TEST(LevelDialogue, ClosedInputReadsNothing) {
  std::istringstream in("5");
  in.setstate(std::ios::badbit);
  std::ostringstream out;
  EXPECT_EQ(RunLevelDialogue(in, out), 0);
  EXPECT_EQ(out.str(), kBanner);
}

TEST(StartupLines, MipmapLineStartsOnAFreshLine) {
  std::ostringstream out;
  WriteMipmapLine(out);
  EXPECT_EQ(out.str(), "\n> Mipmap level = GL_LINEAR\n");
}

TEST(StartupLines, LoadingReportSaysSuccessOnlyWhenThePictureIsShown) {
  std::ostringstream shown;
  WriteLoadingReport(shown, "sky.bmp", "> Successful!", true);
  EXPECT_EQ(shown.str(), "> Loading bitmap sky.bmp ...\n> Successful!\n");

  std::ostringstream missing;
  WriteLoadingReport(missing, "background.bmp", "> successful!", false);
  EXPECT_EQ(missing.str(),
            "> Loading bitmap background.bmp ...\n"
            "> Could not use background.bmp: its strip is drawn without a picture\n");
}

}  // namespace
