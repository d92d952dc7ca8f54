// The beep on Windows: the system's simple beep. Where no sound device is set up (a service, a
// machine without speakers) it passes silently.
#include <windows.h>

#include "platform.h"

// The system's simple beep; it comes back at once, and a failure leaves nothing to do.
void SoundBeep() {
  MessageBeep(0xFFFFFFFF);
}
