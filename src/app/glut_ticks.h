// The tick schedule on GLUT's clock, for every front end that times its ticks with GLUT: the
// desktop's freeglut and the browser's. Each front end's ArmTickTimer goes through it: the
// desktop's in src/desktop/tick_timer.cpp, the page's in src/web/platform_web.cpp.
#pragma once

// Arms the next OnTick for the interval the rules ask for, due one interval after the last one
// was due rather than after now, so lateness doesn't add up.
void ArmNextTick(int intervalMs);
