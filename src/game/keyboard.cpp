// Placeholder keyboard.
#include "game_state.h"

void OnSpecialKey(int32_t, int32_t, int32_t) {}
