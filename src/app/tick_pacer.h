// When each tick is due, on the toolkit's millisecond clock, and the delay that reaches it.
//
// Re-arming a one-shot timer with the plain interval lets every tick's lateness add up, so the
// game would run slow by however late the event loop tends to be. The pacer keeps a schedule
// instead: the first tick is due a fixed delay after registration, every later one a whole
// interval after the previous one's due time, and each timer is armed for what is left of that.
// Pure arithmetic on plain numbers; the toolkit side feeds it the clock (the desktop's pacer in
// glut_ticks.cpp, the page's step clock in src/web/page_ticks.cpp).
#pragma once

#include <cstdint>

class TickPacer {
 public:
  // The first tick is registered at now and due firstDelay later (a negative delay counts as 0).
  // Returns the delay to register it with.
  unsigned Start(int32_t now, int32_t firstDelay);

  // Called as the running tick arms the next one: returns the delay that puts the next tick one
  // interval after the running tick's due time, never negative. Exceptions, each of which
  // starts the schedule afresh at now:
  //  - the running tick is a whole interval late or more: a stall (suspend, a long callback);
  //  - it seems a whole interval early or more: the clock jumped, which a timer can't do;
  //  - the pacer was never started: the running tick is taken as on time;
  //  - interval below 1: returns 0, a plain re-arm that fires as soon as the loop comes round.
  unsigned Next(int32_t now, int32_t interval);

 private:
  // Due times live on a 32-bit clock that wraps after about 24.8 days; only differences of
  // them, taken modulo 2^32, mean anything.
  uint32_t due_ = 0;
  bool started_ = false;
};

// A fixed-step clock for a toolkit whose timers often run a whole interval late or more: a
// browser's, whose main thread waits its turn on a busy machine. Every step is due a whole
// interval after the one before, and a late timer callback runs every step that has fallen due
// since, so the game keeps its pace however late single callbacks come. A clock further behind
// than its bound (a long stall) drops the missed time and starts afresh, as the pacer does: a
// burst that long would throw the serpent across the field in one frame. Times are milliseconds
// on a clock that doesn't wrap (a browser's performance.now()).
class StepClock {
 public:
  explicit StepClock(double boundMs) : bound_(boundMs) {}

  // The first step is due firstDelay after now (a negative delay counts as 0). Returns the delay
  // to arm the timer with.
  double Start(double now, double firstDelay);

  // At a timer callback: whether a step is due at now. The callback runs a step and calls
  // Stepped while this says so. A callback the bound or more behind, or on a clock never started,
  // takes its step as on time. Steps due within 1 ms count as due: a timer may fire that much
  // before its time (as some browsers' do, or seem to on a coarsened clock), and waiting for the
  // rest would cost a whole timer round.
  bool Due(double now);

  // The step just run asks for the next one interval after its own due time (below 1 ms counts
  // as 1, so a callback always ends).
  void Stepped(double interval);

  // After a pause of the clock's own (a test's hold): the next step is due one interval from
  // now, with nothing made up for the time in between.
  void Resume(double now, double interval);

  // What is left until the next step is due, in whole milliseconds, never negative.
  double Delay(double now) const;

 private:
  double bound_;
  double due_ = 0;
  bool started_ = false;
};

// Registers the first tick firstDelayMs from now and starts the schedule of all later ones;
// the toolkit side, in glut_ticks.cpp, beside ArmNextTick.
void StartTicking(int32_t firstDelayMs);
