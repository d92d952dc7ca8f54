// Puts GameRandom back to its start value, so the next numbers are those a fresh run sees (41,
// 18467, 6334, ...): for a new game (ForgetGame) and for the tests.
//
// The game itself never reseeds: a game's food follows from the generator's start alone, so this
// stays apart from game_state.h.
#pragma once

void ResetGameRandom();
