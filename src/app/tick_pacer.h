// When each tick is due, on the toolkit's millisecond clock, and the delay that reaches it.
//
// Re-arming a one-shot timer with the plain interval lets every tick's lateness add up, so the
// game would run slow by however late the event loop tends to be. The pacer keeps a schedule
// instead: the first tick is due a fixed delay after registration, every later one a whole
// interval after the previous one's due time, and each timer is armed for what is left of that.
// Pure arithmetic on plain integers; the toolkit side feeds it the clock (glut_ticks.cpp).
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

// Registers the first tick firstDelayMs from now and starts the schedule of all later ones;
// the toolkit side, in glut_ticks.cpp, beside ArmNextTick.
void StartTicking(int32_t firstDelayMs);
