// Velmorak Revir: the console dialogue, then the window and the hand-over to the event loop.
#include <csignal>
#include <iostream>

#include "console.h"
#include "game_state.h"
#include "start_game.h"

int main(int argc, char** argv) {
  // A console that goes away (a closed pipe) must not end the game: its output failures pass
  // silently, and the score record still gets written.
  // Windows has no such signal: a failed write there only fails.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif

  GameState.segmentX[0] = 100.0f;
  GameState.segmentY[0] = 100.0f;

  StartGame(RunLevelDialogue(std::cin, std::cout), &argc, argv);
  return 0;
}
