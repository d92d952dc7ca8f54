// The toolkit's codes for the keys the player steers with, so the rules need no GLUT header.
#pragma once

#include <cstdint>

// GLUT's values (GLUT_KEY_F1, GLUT_KEY_LEFT ...); the app checks them against GLUT at compile time.
enum SpecialKey : int32_t {
  KeyF1 = 1,
  KeyLeft = 100,
  KeyUp = 101,
  KeyRight = 102,
  KeyDown = 103,
};
