// Redraw requests and the tick schedule, on GLUT's timers and clock.
#include "glut_ticks.h"

#include <GL/glut.h>

#include "game_state.h"
#include "platform.h"
#include "tick_pacer.h"

namespace {

// The schedule of every tick of the game; only callbacks on the event loop's thread touch it.
TickPacer TickSchedule;

// Which game's schedule the armed timers belong to. GLUT can't cancel a timer, so when another
// game starts its own schedule (the page's play again) the last game's armed tick must end its
// chain rather than run a second tick in every interval. The desktop only ever has schedule 1.
int scheduleNumber = 0;

void OnScheduledTick(int schedule) {
  if (schedule == scheduleNumber) OnTick(schedule);
}

// GLUT's own clock: its timers fall due on it, so a due time kept here is hit to the
// millisecond, where one kept on another clock would be rounded against this one every tick.
// It is an int that wraps after about 24.8 days; the pacer only takes differences of it.
int32_t ToolkitNow() {
  return glutGet(GLUT_ELAPSED_TIME);
}

}  // namespace

void RequestRedraw() {
  glutPostRedisplay();
}

void StartTicking(int32_t firstDelayMs) {
  ++scheduleNumber;
  glutTimerFunc(TickSchedule.Start(ToolkitNow(), firstDelayMs), OnScheduledTick, scheduleNumber);
}

// GLUT counts a timer from the moment it is armed, so arming the plain interval would let each
// tick's lateness push all later ones back; the schedule absorbs it instead.
void ArmNextTick(int intervalMs) {
  glutTimerFunc(TickSchedule.Next(ToolkitNow(), intervalMs), OnScheduledTick, scheduleNumber);
}
