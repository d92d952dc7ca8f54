// Whatever arrives on standard input, the game starts, keeps the level it could read and plays at
// that level's pace until the right wall.
#include <chrono>
#include <iostream>

#include "expected_output.h"
#include "hardening_run.h"

namespace {

struct InputCase {
  const char* name;
  bool closeInput;  // file descriptor 0 closed rather than a pipe
  const char* input;
  int level;       // what the score record must say
  int intervalMs;  // the pace that level gives: 80 ms, the prompt's default, when out of range
};

std::ostream& operator<<(std::ostream& out, const InputCase& c) {
  return out << c.name;
}

class StandardInput : public HardeningTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(StandardInput, StartsAndKeepsThePaceOfTheLevelRead) {
  const InputCase& c = GetParam();
  LaunchOptions options;
  options.levelInput = c.input;
  options.closeInput = c.closeInput;
  ASSERT_TRUE(Start(options));
  const auto shown = std::chrono::steady_clock::now();
  ASSERT_TRUE(game().WaitForOutput("CASE 1\n", kPlayTimeoutMs)) << game().Output();
  const double elapsedMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - shown).count();
  Frame over;
  ASSERT_TRUE(WaitForGameOver(1, &over));
  EXPECT_EQ(game().Output(), StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1));
  EXPECT_EQ(ScoreFile(), ScoreRecord(1, c.level));

  // From (100, 100) the head needs 19 ticks to meet the right wall: the first comes 33 ms after
  // start-up, the others one interval apart. The window shows up about when the first timer is
  // armed; slow frames only ever stretch the time, hence the wide upper bound. The bounds keep
  // apart the 10 ms of level 8, the 80 ms default and the 220 ms of level 1.
  const double nominalMs = 33.0 + 18.0 * c.intervalMs;
  EXPECT_GE(elapsedMs, 0.8 * nominalMs);
  EXPECT_LE(elapsedMs, 1.6 * nominalMs + 500.0);
  std::cout << c.name << ": level " << c.level << ", right wall after " << elapsedMs << " ms, "
            << nominalMs << " ms at " << c.intervalMs << " ms a tick\n";

  CloseAndExpectCleanExit();
  ExpectCleanStderr();
}

INSTANTIATE_TEST_SUITE_P(Hostile, StandardInput,
                         ::testing::Values(InputCase{"closed", true, "", 0, 80},
                                           InputCase{"empty", false, "", 0, 80},
                                           InputCase{"letters", false, "abc", 0, 80},
                                           InputCase{"beyond32bits", false, "99999999999", 0, 80},
                                           InputCase{"negative", false, "-3", -3, 80},
                                           InputCase{"padded", false, " 7 \n", 7, 30}),
                         [](const ::testing::TestParamInfo<InputCase>& info) {
                           return info.param.name;
                         });

}  // namespace
