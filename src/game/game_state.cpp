// The single game record, with its start values.
#include "game_state.h"

#include "game_random_reset.h"

GameRecord GameState;

void PlaceHeadAtStart() {
  GameState.segmentX[0] = 100.0f;
  GameState.segmentY[0] = 100.0f;
}

void ForgetGame() {
  GameState = GameRecord{};
  ResetGameRandom();
}
