// Placeholder game over.
#include "game_state.h"

void EndGame() {}
