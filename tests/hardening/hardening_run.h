// The real game started the hostile ways: with its standard input closed, as an unprivileged
// player, behind valgrind (LaunchOptions). Every run of the program shares one X server, large
// enough for a window 4000 pixels long at the game's position of (50, 50).
#pragma once

#include "game_window_test.h"

class HardeningTest : public GameWindowTest {
 protected:
  Screen ScreenSize() const override { return {4100, 4100}; }
};
