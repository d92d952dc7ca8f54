// The desktop's tick timer for the rules (platform.h), on freeglut, for Linux and Windows alike:
// the plain schedule on GLUT's clock. Redraws come from glut_ticks.cpp too, the beep from the
// window system's own file (beep_x11.cpp, beep_windows.cpp).
#include "glut_ticks.h"
#include "platform.h"

// The desktop's ticks are the plain schedule; see glut_ticks.cpp.
void ArmTickTimer(int milliseconds) {
  ArmNextTick(milliseconds);
}
