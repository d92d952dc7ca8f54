// The tick schedule: delays that keep ticks on their due times, stalls, a wrapping clock and
// intervals the level table never gives; and the page's step clock, which runs missed steps.
#include "tick_pacer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Which schedule a case runs: the desktop's pacer, or the page's step clock with its bound.
enum class Clock { Pacer, Steps };
constexpr double kBound = 250;

// One timer callback: the clock at it, the interval each tick asks for, and the delay the timer
// must be given. The pacer runs one tick per callback; the step clock as many as it says are due
// (after resuming from a hold, when resumed).
struct Arm {
  int32_t now;
  int32_t interval;
  unsigned delay;
  unsigned steps = 1;
  bool resumed = false;
};

struct ScheduleCase {
  std::string name;
  bool started;        // whether the first tick was registered through the pacer
  int32_t registered;  // clock at registration
  std::vector<Arm> arms;
  Clock clock = Clock::Pacer;
};

// Runs every step the step clock has due at one callback; returns how many.
unsigned RunDueSteps(StepClock& clock, double now, double interval) {
  unsigned steps = 0;
  // Far more than any case's bound allows: a clock that never stops fails instead of hanging.
  while (steps < 1000 && clock.Due(now)) {
    clock.Stepped(interval);
    ++steps;
  }
  return steps;
}

void PrintTo(const ScheduleCase& c, std::ostream* os) {
  *os << c.name;
}

class Schedule : public testing::TestWithParam<ScheduleCase> {};

TEST_P(Schedule, ArmsEachTickForWhatIsLeftOfItsInterval) {
  const ScheduleCase& c = GetParam();
  TickPacer pacer;
  StepClock steps(kBound);
  if (c.started) {
    EXPECT_EQ(
        c.clock == Clock::Pacer ? pacer.Start(c.registered, 33) : steps.Start(c.registered, 33),
        33u);
  }
  for (size_t i = 0; i < c.arms.size(); ++i) {
    const Arm& arm = c.arms[i];
    unsigned ran = 1;
    double delay = 0;
    if (c.clock == Clock::Pacer) {
      delay = pacer.Next(arm.now, arm.interval);
    } else {
      if (arm.resumed) steps.Resume(arm.now, arm.interval);
      ran = RunDueSteps(steps, arm.now, arm.interval);
      delay = steps.Delay(arm.now);
    }
    EXPECT_EQ(ran, arm.steps) << "callback " << i << " at " << arm.now;
    EXPECT_EQ(delay, arm.delay) << "callback " << i << " at " << arm.now << " with interval "
                                << arm.interval;
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
        ScheduleCase{"NeverStarted", false, 0, {{500, 80, 80}, {583, 80, 77}}},
        // The step clock: every step that fell due runs in the late callback, up to the bound.
        ScheduleCase{"StepsOnTime", true, 0, {{33, 10, 10}, {43, 10, 10}}, Clock::Steps},
        ScheduleCase{
            "StepsLateBelowAnInterval", true, 0, {{36, 10, 7}, {43, 10, 10}}, Clock::Steps},
        ScheduleCase{"StepsMissedAreRun",
                     true,
                     0,
                     {{58, 10, 5, 3}, {63, 10, 10}, {93, 10, 10, 3}},
                     Clock::Steps},
        ScheduleCase{"StepsFiredAMillisecondEarly", true, 0, {{32, 10, 11}}, Clock::Steps},
        ScheduleCase{"StepsFiredTooEarly", true, 0, {{31, 10, 2, 0}, {33, 10, 10}}, Clock::Steps},
        ScheduleCase{"StepsJustInsideTheBound", true, 0, {{282, 10, 11, 26}}, Clock::Steps},
        ScheduleCase{"StepsStalled", true, 0, {{283, 10, 10}, {293, 10, 10}}, Clock::Steps},
        ScheduleCase{"StepsLongStall", true, 0, {{5043, 80, 80}, {5123, 80, 80}}, Clock::Steps},
        ScheduleCase{"StepsNeverStarted", false, 0, {{500, 80, 80}, {583, 80, 77}}, Clock::Steps},
        // Let go after a hold: an interval from then, nothing made up for the held time.
        ScheduleCase{"StepsResumed",
                     true,
                     0,
                     {{33, 10, 10}, {500, 10, 10, 0, true}, {510, 10, 10}},
                     Clock::Steps},
        ScheduleCase{"StepsIntervalZero", true, 0, {{33, 0, 2, 2}, {35, 0, 2, 2}}, Clock::Steps},
        ScheduleCase{"StepsLargestInterval", true, 0, {{33, kMax, unsigned(kMax)}}, Clock::Steps}),
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
  Clock clock = Clock::Pacer;
};

class Drift : public testing::TestWithParam<DriftCase> {};

TEST_P(Drift, LatenessDoesNotAddUp) {
  const DriftCase& c = GetParam();
  if (c.clock == Clock::Pacer) {
    TickPacer pacer;
    int32_t now = static_cast<int32_t>(pacer.Start(0, 33)) + c.lateness;
    for (int32_t tick = 1; tick < c.ticks; ++tick) {
      unsigned delay = pacer.Next(now, c.interval);
      ASSERT_GE(delay, 1u) << "tick " << tick << " armed to fire at once";
      now += static_cast<int32_t>(delay) + c.lateness;
    }
    EXPECT_EQ(now, c.lastTickAt);
    return;
  }
  StepClock clock(kBound);
  double now = clock.Start(0, 33) + c.lateness;
  for (int32_t ticks = 0;;) {
    ticks += static_cast<int32_t>(RunDueSteps(clock, now, c.interval));
    if (ticks >= c.ticks) break;
    const double delay = clock.Delay(now);
    ASSERT_GE(delay, 1) << "armed to fire at once after tick " << ticks;
    now += delay + c.lateness;
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
                                         DriftCase{80, 500, 10, 533 + 9 * 580},
                                         // The step clock runs what a late callback missed: each
                                         // last tick on its due time plus one lateness at most.
                                         DriftCase{10, 5, 1000, 33 + 999 * 10 + 5, Clock::Steps},
                                         DriftCase{10, 10, 1000, 33 + 999 * 10, Clock::Steps},
                                         DriftCase{10, 25, 1000, 33 + 999 * 10 + 25, Clock::Steps},
                                         DriftCase{220, 200, 50, 33 + 49 * 220 + 200, Clock::Steps},
                                         // Beyond the bound every callback starts afresh.
                                         DriftCase{80, 500, 10, 533 + 9 * 580, Clock::Steps}));

}  // namespace
