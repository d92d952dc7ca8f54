// Start-up after the level is known: the window, the callbacks, the pictures and the event loop.
#pragma once

#include <cstdint>

// Sets the level and its pace, opens the window, registers the callbacks, loads and reports both
// pictures, sets the fixed graphics state and enters the toolkit's event loop. On the desktop that
// loop never returns; in the browser it hands the thread back to the page.
void StartGame(int32_t level, int* argc, char** argv);
