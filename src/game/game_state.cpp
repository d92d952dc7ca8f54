// The single game record, with its start values.
#include "game_state.h"

GameRecord GameState;
