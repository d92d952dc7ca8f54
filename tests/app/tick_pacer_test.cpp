// The tick schedule: delays that keep ticks on their due times, stalls, a wrapping clock and
// intervals the level table never gives.
#include "tick_pacer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// One re-arm: the clock as the running tick arms the next, the interval it asks for, and the
// delay the timer must be given.
struct Arm {
  int32_t now;
  int32_t interval;
  unsigned delay;
};

struct ScheduleCase {
  std::string name;
  bool started;        // whether the first tick was registered through the pacer
  int32_t registered;  // clock at registration
  std::vector<Arm> arms;
};

void PrintTo(const ScheduleCase& c, std::ostream* os) {
  *os << c.name;
}

class Schedule : public testing::TestWithParam<ScheduleCase> {};

TEST_P(Schedule, ArmsEachTickForWhatIsLeftOfItsInterval) {
  const ScheduleCase& c = GetParam();
  TickPacer pacer;
  if (c.started) {
    EXPECT_EQ(pacer.Start(c.registered, 33), 33u);
  }
  for (size_t i = 0; i < c.arms.size(); ++i) {
    const Arm& arm = c.arms[i];
    EXPECT_EQ(pacer.Next(arm.now, arm.interval), arm.delay)
        << "re-arm " << i << " at " << arm.now << " with interval " << arm.interval;
  }
}

constexpr int32_t kMax = INT32_MAX;
constexpr int32_t kMin = INT32_MIN;

INSTANTIATE_TEST_SUITE_P(
    Ticks, Schedule,
    testing::Values(
        ScheduleCase{"FirstTickOnTime", true, 1000, {{1033, 10, 10}}},
        ScheduleCase{"Steady", true, 0, {{33, 80, 80}, {113, 80, 80}, {193, 80, 80}}},
        // Lateness is taken off the next delay, so the tick after stays on the schedule.
        ScheduleCase{
            "LateBelowAnInterval", true, 0, {{36, 10, 7}, {43, 10, 10}, {62, 10, 1}, {63, 10, 10}}},
        ScheduleCase{"LateFirstTick", true, 500, {{560, 220, 193}, {753, 220, 220}}},
        // A whole interval late and more: the schedule starts again at the late tick, one
        // interval per tick and no burst to catch up.
        ScheduleCase{"LateByExactlyOneInterval", true, 0, {{43, 10, 10}, {53, 10, 10}}},
        ScheduleCase{
            "Stalled", true, 0, {{33, 10, 10}, {5043, 10, 10}, {5053, 10, 10}, {5064, 10, 9}}},
        ScheduleCase{"StalledFirstTick", true, 0, {{2000, 80, 80}, {2080, 80, 80}}},
        // A tick can't run before its timer; seeming early means the clock moved under us.
        ScheduleCase{"SlightlyEarly", true, 1000, {{1030, 10, 13}, {1043, 10, 10}}},
        ScheduleCase{"ClockJumpedBack", true, 1000, {{900, 10, 10}, {910, 10, 10}}},
        ScheduleCase{"ClockWrapsBetweenTicks",
                     true,
                     kMax - 10,
                     {{kMin + 22, 10, 10}, {kMin + 35, 10, 7}, {kMin + 42, 10, 10}}},
        ScheduleCase{"ClockWrapsInsideTheFirstDelay", true, kMax, {{kMin + 32, 10, 10}}},
        ScheduleCase{"NegativeClock", true, -40, {{-7, 10, 10}, {4, 10, 9}}},
        ScheduleCase{
            "LongSuspendWrapsTheClock", true, 0, {{kMin + 50, 10, 10}, {kMin + 60, 10, 10}}},
        // The interval is plain data: below 1 ms the timer fires as soon as it can.
        ScheduleCase{"IntervalZero", true, 0, {{33, 0, 0}, {33, 0, 0}, {40, 0, 0}}},
        ScheduleCase{"IntervalNegative", true, 0, {{33, -5, 0}, {34, kMin, 0}}},
        ScheduleCase{"PositiveAgainAfterZero", true, 0, {{33, 0, 0}, {100, 10, 10}, {112, 10, 8}}},
        ScheduleCase{
            "IntervalChangesBetweenTicks", true, 0, {{33, 80, 80}, {113, 10, 10}, {123, 80, 80}}},
        ScheduleCase{"LargestInterval",
                     true,
                     0,
                     {{33, kMax, unsigned(kMax)}, {kMin + 32, kMax, unsigned(kMax)}}},
        ScheduleCase{"NeverStarted", false, 0, {{500, 80, 80}, {583, 80, 77}}}),
    [](const testing::TestParamInfo<ScheduleCase>& info) { return info.param.name; });

struct FirstDelayCase {
  int32_t asked;
  unsigned armed;
};

class FirstDelay : public testing::TestWithParam<FirstDelayCase> {};

TEST_P(FirstDelay, NeverNegative) {
  TickPacer pacer;
  EXPECT_EQ(pacer.Start(100, GetParam().asked), GetParam().armed);
}

INSTANTIATE_TEST_SUITE_P(Delays, FirstDelay,
                         testing::Values(FirstDelayCase{33, 33}, FirstDelayCase{0, 0},
                                         FirstDelayCase{-1, 0}, FirstDelayCase{kMin, 0}));

// A toolkit that runs every timer a fixed time after it falls due: the schedule must hold tick
// after tick, where a plain re-arm would drift by that lateness every tick.
struct DriftCase {
  int32_t interval;
  int32_t lateness;
  int32_t ticks;
  int32_t lastTickAt;  // when the last tick runs, registration at 0
};

class Drift : public testing::TestWithParam<DriftCase> {};

TEST_P(Drift, LatenessDoesNotAddUp) {
  const DriftCase& c = GetParam();
  TickPacer pacer;
  int32_t now = static_cast<int32_t>(pacer.Start(0, 33)) + c.lateness;
  for (int32_t tick = 1; tick < c.ticks; ++tick) {
    unsigned delay = pacer.Next(now, c.interval);
    ASSERT_GE(delay, 1u) << "tick " << tick << " armed to fire at once";
    now += static_cast<int32_t>(delay) + c.lateness;
  }
  EXPECT_EQ(now, c.lastTickAt);
}

INSTANTIATE_TEST_SUITE_P(Lateness, Drift,
                         testing::Values(DriftCase{10, 0, 1000, 33 + 999 * 10},
                                         DriftCase{10, 1, 1000, 33 + 999 * 10 + 1},
                                         DriftCase{10, 9, 1000, 33 + 999 * 10 + 9},
                                         DriftCase{80, 3, 100, 33 + 99 * 80 + 3},
                                         DriftCase{220, 219, 50, 33 + 49 * 220 + 219},
                                         // Every tick a whole interval late re-anchors: the pace of
                                         // a plain re-arm, never faster.
                                         DriftCase{10, 10, 100, 43 + 99 * 20},
                                         DriftCase{80, 500, 10, 533 + 9 * 580}));

}  // namespace
