// Start-up after the level is known: the window, the callbacks, the pictures and the event loop.
#pragma once

#include <cstdint>

// The window's size when it opens, in pixels: 250 x 275 world units. The page's canvas starts at
// it too: src/app/CMakeLists.txt reads these two lines for the page.
constexpr int32_t kStartWindowWidth = 350;
constexpr int32_t kStartWindowHeight = 385;

// Sets the level and its pace, puts the head at its start, opens the window, registers the
// callbacks, loads and reports both pictures, sets the fixed graphics state and enters the
// toolkit's event loop. On the desktop that loop never returns; in the browser it hands the thread
// back to the page.
void StartGame(int32_t level, int* argc, char** argv);

// Another game in the window StartGame opened, after the last one ended: the game as a fresh start
// of the program has it (the record, the generator, the tick schedule, the pictures and the
// console's lines from the mipmap line on), the window back at its start size. The page's play
// again; the desktop plays one game a run.
void StartAnotherGame(int32_t level);
