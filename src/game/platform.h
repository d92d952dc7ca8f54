// The three toolkit services the rules need. The app implements them with freeglut and Xlib; the
// tests link a recorder instead, so the rules run without a window.
#pragma once

// Asks the toolkit to draw a new frame once the current callback returns.
void RequestRedraw();

// Arms a one-shot timer that calls OnTick(1) after the given number of milliseconds.
void ArmTickTimer(int milliseconds);

// Sounds the system's short alert and returns at once; nothing is written to standard output.
void SoundBeep();
