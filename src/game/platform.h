// The services the rules need from outside. Each front end implements the three toolkit ones: the
// desktop with freeglut and the system's beep (src/desktop, with src/app/glut_ticks.cpp), the page
// with emscripten's GLUT, its own tick clock and tone (src/web/platform_web.cpp, page_ticks.cpp).
// The tests link a recorder instead, so the rules run without a window. The score record's
// opening is the rules' own, one file per operating system (score_record_posix.cpp,
// score_record_windows.cpp), and always the real one.
#pragma once

#include <cstdio>

// Asks the toolkit to draw a new frame once the current callback returns.
void RequestRedraw();

// Arms a one-shot timer that calls OnTick(1) after the given number of milliseconds.
void ArmTickTimer(int milliseconds);

// Sounds the system's short alert and returns at once; nothing is written to standard output.
void SoundBeep();

// Opens the score record in the working folder for writing in text mode (the platform's line
// ends), emptying it; null when it can't be written. Never waits on another program.
std::FILE* OpenScoreRecord();
