// The end of the game: beep, score on the console, the score record, and the frozen game.
#include <cstdio>

#include "game_state.h"
#include "platform.h"

namespace {

// The rule line goes out unflushed, with the score line's flush: the console sees the same
// pieces, in the same order, at every call.
void WriteConsoleReport() {
  std::fputs("\n\n=========================\n", stdout);
  std::printf("Your score is %d\n", static_cast<int>(GameState.segmentCount));
  std::fflush(stdout);
  std::fputs("Game Over\n", stdout);
  std::fflush(stdout);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

}  // namespace

// No early return on a finished game: every caller in a tick gets the whole effect again, and
// the record file always ends up holding exactly one line. A record that can't be written is
// passed over: the game must end normally whatever the folder allows.
void EndGame() {
  SoundBeep();
  WriteConsoleReport();

  std::FILE* record = OpenScoreRecord();
  if (record != nullptr) {
    std::fprintf(record, "You score is : %d at level %d\n",
                 static_cast<int>(GameState.segmentCount), static_cast<int>(GameState.level));
    std::fflush(record);
  }

  GameState.paused = 1;
  GameState.showGameOver = 1;
  GameState.gameOver = 1;

  if (record != nullptr) std::fclose(record);
}
