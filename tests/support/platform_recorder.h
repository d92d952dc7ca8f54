// A stand-in for the toolkit: records every redraw request, timer and beep the rules ask for.
#pragma once

#include <string>
#include <vector>

struct PlatformRecorder {
  int redraws = 0;
  int beeps = 0;
  std::vector<int> timers;  // milliseconds of every ArmTickTimer call, in order
  std::vector<std::string> log;  // "redraw", "timer 80", "beep" in call order
};

extern PlatformRecorder Recorded;

// Forgets everything recorded so far.
void ResetRecorder();
