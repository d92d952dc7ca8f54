// The tick schedule's arithmetic: the desktop's pacer on a wrapping 32-bit millisecond clock, the
// page's fixed steps on a browser's.
#include "tick_pacer.h"

#include <algorithm>
#include <cmath>

namespace {

// a - b on the wrapping clock, as the signed distance it stands for (|distance| < 2^31 ms).
int32_t Distance(uint32_t a, uint32_t b) {
  uint32_t d = a - b;
  // Spelled out instead of a cast: converting an unsigned value above INT32_MAX is only
  // implementation-defined before C++20.
  if (d <= static_cast<uint32_t>(INT32_MAX)) return static_cast<int32_t>(d);
  return -static_cast<int32_t>(~d) - 1;
}

}  // namespace

unsigned TickPacer::Start(int32_t now, int32_t firstDelay) {
  const uint32_t delay = firstDelay > 0 ? static_cast<uint32_t>(firstDelay) : 0u;
  due_ = static_cast<uint32_t>(now) + delay;
  started_ = true;
  return delay;
}

unsigned TickPacer::Next(int32_t now, int32_t interval) {
  const uint32_t clock = static_cast<uint32_t>(now);
  if (interval < 1) {
    due_ = clock;
    started_ = true;
    return 0;
  }
  const int32_t late = Distance(clock, due_);
  // A tick a whole interval late has lost its slot: the next one is due already, and catching
  // it up would put two steps of the serpent into one frame's time, a visible jump. From a
  // whole interval on, the missed time is dropped and the schedule starts again here. Anything
  // less is made up within the next interval, so lateness never adds up.
  if (!started_ || late >= interval || late <= -interval) due_ = clock;
  started_ = true;
  due_ += static_cast<uint32_t>(interval);
  // Between 1 and 2 * interval - 1 here, so it fits and is never negative.
  return static_cast<unsigned>(due_ - clock);
}

double StepClock::Start(double now, double firstDelay) {
  const double delay = std::max(firstDelay, 0.0);
  due_ = now + delay;
  started_ = true;
  return delay;
}

bool StepClock::Due(double now) {
  if (!started_ || now - due_ >= bound_) due_ = now;
  started_ = true;
  return now + 1 >= due_;
}

void StepClock::Stepped(double interval) {
  due_ += std::max(interval, 1.0);
}

void StepClock::Resume(double now, double interval) {
  due_ = now + std::max(interval, 1.0);
  started_ = true;
}

double StepClock::Delay(double now) const {
  return std::max(std::ceil(due_ - now), 0.0);
}
