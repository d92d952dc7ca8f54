// The game's own generator: the same food positions in every run for the same world size.
#include <cstdint>

#include "game_random_reset.h"
#include "game_state.h"

namespace {

// Starts at 1 and is changed by nothing but GameRandom: no seed from the clock, ever.
uint32_t generatorState = 1;

}  // namespace

int32_t GameRandom() {
  // Unsigned, so the wrap-around modulo 2^32 is defined.
  generatorState = generatorState * 214013u + 2531011u;
  return static_cast<int32_t>((generatorState >> 16) & 0x7FFFu);
}

void ResetGameRandom() {
  generatorState = 1;
}
