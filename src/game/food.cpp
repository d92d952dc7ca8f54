// Placeholder food rules.
#include "game_state.h"

void CheckSelfCollision() {}
void CheckFood() {}
void PlaceFood(int32_t, int32_t) {}
int32_t GameRandom() { return 0; }
