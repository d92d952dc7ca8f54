// Placeholder tick until the rules land: keeps the timer chain alive.
#include "game_state.h"
#include "platform.h"

void OnTick(int32_t) {
  RequestRedraw();
  ArmTickTimer(GameState.tickInterval);
}
