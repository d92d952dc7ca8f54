// Puts GameRandom back to its start value: for tests only.
//
// Each test needs the sequence a fresh run sees (41, 18467, 6334, ...), but a run of the game plays
// one game and never reseeds, so this lives apart from game_state.h and the game never includes it.
#pragma once

void ResetGameRandom();
