// The page's tick clock: what glut_ticks.h promises, for the browser. Besides the game's ticks it
// keeps what the page shows its tests (page.js): a count of the ticks run, and a hold that stops
// the clock after a given tick, so a test can act between two known ticks however busy the
// machine is.
#include <GL/glut.h>
#include <emscripten.h>

#include "game_state.h"
#include "glut_ticks.h"
#include "platform.h"
#include "tick_pacer.h"

namespace {

TickPacer TickSchedule;

// How often a held clock looks whether it has been let go.
constexpr unsigned kHeldPollMs = 4;

// The interval the game asked for last, for the first tick after a hold.
int lastIntervalMs = 0;
bool held = false;

// Whether the page wants no tick beyond the ones run so far.
EM_JS(int, PageHoldsTicks, (),
      { return Module.velmorakHoldsTicks ? Module.velmorakHoldsTicks() : 0; });

// Counts a tick the page has run.
EM_JS(void, PageTicked, (), {
  if (Module.velmorakTicked) Module.velmorakTicked();
});

int32_t ToolkitNow() {
  return glutGet(GLUT_ELAPSED_TIME);
}

void RunTick(int value) {
  if (PageHoldsTicks()) {
    held = true;
    glutTimerFunc(kHeldPollMs, RunTick, value);
    return;
  }
  if (held) {
    // Let go: the ticks go on an interval from now, with nothing to make up for the held time.
    held = false;
    glutTimerFunc(TickSchedule.Start(ToolkitNow(), lastIntervalMs), RunTick, value);
    return;
  }
  OnTick(value);
  PageTicked();
}

}  // namespace

void RequestRedraw() {
  glutPostRedisplay();
}

void StartTicking(int32_t firstDelayMs) {
  lastIntervalMs = firstDelayMs;
  glutTimerFunc(TickSchedule.Start(ToolkitNow(), firstDelayMs), RunTick, 1);
}

void ArmNextTick(int intervalMs) {
  lastIntervalMs = intervalMs;
  glutTimerFunc(TickSchedule.Next(ToolkitNow(), intervalMs), RunTick, 1);
}
