// The page's tick clock: what glut_ticks.h promises, for the browser. Besides the game's ticks it
// keeps what the page shows its tests (page.js): a count of the ticks run, and a hold that stops
// the clock after a given tick, so a test can act between two known ticks however busy the
// machine is.
//
// A browser runs the page's timers on its main thread, and on a busy machine that thread often
// gets its turn 10 to 20 ms late, now and then a few hundred. At level 8 that is a whole interval
// or more, which the desktop's pacer drops as a stall: the page then ran up to twice as slow.
// Here every step that fell due runs in the late callback instead (StepClock), each one a whole
// OnTick as on the desktop, so the food, the walls and the console come out the same; the frame
// shows where the steps have taken the serpent.
#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <cstdint>

#include "game_state.h"
#include "glut_ticks.h"
#include "platform.h"
#include "tick_pacer.h"

namespace {

// Catching up ends here: a page further behind than this was stalled (a long task, a machine
// that slept) and starts afresh rather than throw the serpent a quarter second ahead in one
// frame. A hidden page's timers come about once a second, far beyond it, and its game is paused
// (VelmorakPauseForHiddenPage) before that: shown again, it doesn't burst.
constexpr double kCatchUpBoundMs = 250;

// How often a held clock looks whether it has been let go.
constexpr double kHeldPollMs = 4;

StepClock Steps(kCatchUpBoundMs);

// The interval the game asked for last, for the first step after a hold.
double lastIntervalMs = 0;
// Whether the step just run asked for another: OnTick always does, and a step that didn't would
// leave the clock due forever.
bool stepped = false;
bool held = false;

// Which game's chain of timeouts is the live one. Another game in the same page (play again)
// starts a chain of its own; the last game's may still have a timeout armed (a held poll, or the
// step after the game over), and it must end there rather than step the new game twice as often.
intptr_t chainNumber = 0;

// Whether the page wants no tick beyond the ones run so far.
EM_JS(int, PageHoldsTicks, (),
      { return Module.velmorakHoldsTicks ? Module.velmorakHoldsTicks() : 0; });

// Counts a tick the page has run.
EM_JS(void, PageTicked, (), {
  if (Module.velmorakTicked) Module.velmorakTicked();
});

void RunDueTicks(void* chain) {
  if (reinterpret_cast<intptr_t>(chain) != chainNumber) return;
  const double now = emscripten_get_now();
  bool holds = PageHoldsTicks() != 0;
  if (held && !holds) Steps.Resume(now, lastIntervalMs);
  held = holds;
  while (!held && Steps.Due(now)) {
    stepped = false;
    OnTick(1);
    PageTicked();
    if (!stepped) return;
    held = PageHoldsTicks() != 0;
  }
  emscripten_set_timeout(RunDueTicks, held ? kHeldPollMs : Steps.Delay(now), chain);
}

}  // namespace

void RequestRedraw() {
  glutPostRedisplay();
}

void StartTicking(int32_t firstDelayMs) {
  lastIntervalMs = firstDelayMs;
  held = false;
  ++chainNumber;
  emscripten_set_timeout(RunDueTicks, Steps.Start(emscripten_get_now(), firstDelayMs),
                         reinterpret_cast<void*>(chainNumber));
}

void ArmNextTick(int intervalMs) {
  lastIntervalMs = intervalMs;
  stepped = true;
  Steps.Stepped(intervalMs);
}
