// Redraws and the tick schedule, as each front end's ArmTickTimer reaches them: the desktop's
// (src/desktop/tick_timer.cpp) on freeglut's timers and clock in glut_ticks.cpp, the page's
// (src/web/platform_web.cpp) on the page's own tick clock in src/web/page_ticks.cpp.
#pragma once

// Arms the next OnTick for the interval the rules ask for, due one interval after the last one
// was due rather than after now, so lateness doesn't add up.
void ArmNextTick(int intervalMs);
