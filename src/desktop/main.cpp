// Velmorak Revir on the desktop, Linux (X11) and Windows alike: the console dialogue in the
// terminal the game was started from, then StartGame's window and event loop, which never return.
#include <csignal>
#include <iostream>

#include "console.h"
#include "start_game.h"

int main(int argc, char** argv) {
  // A console that goes away (a closed pipe) must not end the game: its output failures pass
  // silently, and the score record still gets written.
  // Windows has no such signal: a failed write there only fails.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif

  StartGame(RunLevelDialogue(std::cin, std::cout), &argc, argv);
  return 0;
}
