// The recorder's side of platform.h.
#include "platform_recorder.h"

#include "platform.h"

PlatformRecorder Recorded;

void ResetRecorder() { Recorded = PlatformRecorder{}; }

void RequestRedraw() {
  ++Recorded.redraws;
  Recorded.log.push_back("redraw");
}

void ArmTickTimer(int milliseconds) {
  Recorded.timers.push_back(milliseconds);
  Recorded.log.push_back("timer " + std::to_string(milliseconds));
}

void SoundBeep() {
  ++Recorded.beeps;
  Recorded.log.push_back("beep");
}
