// One chain of ticks in a real freeglut loop, started the way the game's main starts it, with the
// time of every re-arm written down. Built twice: once with the game's own platform code and
// once with a plain re-arm (plain_rearm.cpp), so the two differ only in how the timer is armed.
//
// Reads "<level> <ticks>" on standard input; once the ticks have run, writes "pace.txt" in the
// working directory and ends: on the first line when the first frame was done (-1 if it never
// was), then one line per re-arm, all in milliseconds since the first tick was registered. The
// game's own console lines still go to standard output, and its score file to the working
// directory.
#include <GL/freeglut.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <vector>

#include "bitmap.h"
#include "console.h"
#include "game_state.h"
#include "render.h"
#include "start_game.h"
#include "tick_pacer.h"
#include "window.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point Registered;
std::vector<Clock::time_point> Rearms;
size_t RearmsWanted = 0;
Clock::time_point FirstFrameDone;
bool FrameDone = false;

double Since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(t - Registered).count();
}

// The first frame holds the loop for as long as it takes (in Mesa's software renderer, much of
// that is compiling its pipeline), and a tick due meanwhile can only run after it.
void DisplayNotingTheFirst() {
  OnDisplay();
  if (!FrameDone) {
    FirstFrameDone = Clock::now();
    FrameDone = true;
  }
}

void LoadPicture(const char* fileName, PictureSlot slot, BitmapInfo** info,
                 unsigned char** pixels) {
  BitmapSizes sizes{};
  *pixels = LoadBitmapFileSized(fileName, info, &sizes);
  if (*pixels != nullptr) PreparePicture(slot, *info, *pixels, sizes);
}

void WriteTimesAndEnd() {
  std::FILE* out = std::fopen("pace.txt", "w");
  if (out == nullptr) _exit(2);
  std::fprintf(out, "%.4f\n", FrameDone ? Since(FirstFrameDone) : -1.0);
  for (const Clock::time_point& t : Rearms) std::fprintf(out, "%.4f\n", Since(t));
  bool written = std::fclose(out) == 0;
  // Straight out: the loop never returns, and nothing else needs to run.
  _exit(written ? 0 : 2);
}

}  // namespace

// The rules call ArmTickTimer at the end of every tick; the link wraps that one call (the
// mangled name of void ArmTickTimer(int)) so the time is taken just before the real re-arm,
// whichever platform code the program was linked with.
extern "C" void __real__Z12ArmTickTimeri(int milliseconds);
extern "C" void __wrap__Z12ArmTickTimeri(int milliseconds) {
  Rearms.push_back(Clock::now());
  __real__Z12ArmTickTimeri(milliseconds);
  if (Rearms.size() == 1) {
    std::fputs("first tick\n", stdout);
    std::fflush(stdout);
  }
  if (Rearms.size() >= RearmsWanted) WriteTimesAndEnd();
}

int main(int argc, char** argv) {
  int32_t level = 0;
  int ticks = 0;
  if (!(std::cin >> level >> ticks) || ticks < 1) {
    std::fputs("expected \"<level> <ticks>\" on standard input\n", stderr);
    return 2;
  }
  // Each tick re-arms once; one more re-arm closes the period of the last tick.
  RearmsWanted = static_cast<size_t>(ticks) + 1;
  Rearms.reserve(RearmsWanted);

  // The same start as the game's: head, level, interval, window, callbacks, pictures.
  PlaceHeadAtStart();
  GameState.level = level;
  GameState.tickInterval = TickIntervalForLevel(level);
  GameState.edgeStep = GameState.stepX;

  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(kStartWindowWidth, kStartWindowHeight);
  glutCreateWindow("Velmorak Revir - Brevane software organisation");

  glutReshapeFunc(OnReshape);
  glutDisplayFunc(DisplayNotingTheFirst);
  Registered = Clock::now();
  StartTicking(33);
  glutSpecialFunc(OnSpecialKey);

  LoadPicture("sky.bmp", PanelPicture, &GameState.skyInfo, &GameState.skyPixels);
  LoadPicture("background.bmp", PlayfieldPicture, &GameState.backgroundInfo,
              &GameState.backgroundPixels);

  InitGraphics();
  glutMainLoop();
  return 0;
}
