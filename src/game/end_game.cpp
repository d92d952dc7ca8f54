// The end of the game: beep, score on the console, the score record, and the frozen game.
#include <fcntl.h>
#include <unistd.h>

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

// A named pipe that nobody reads would hold a plain open for writing, and the game with it, in
// its last tick forever; opened without waiting, it refuses like any record that can't be
// written. Writes don't wait either: a reader that has stopped reading can't freeze the game.
// A new file gets the permissions fopen would give it.
std::FILE* OpenRecord() {
  int fd = open("User_score.txt", O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* record = fdopen(fd, "w");
  if (record == nullptr) close(fd);
  return record;
}

}  // namespace

// No early return on a finished game: every caller in a tick gets the whole effect again, and
// the record file always ends up holding exactly one line. A record that can't be written is
// passed over: the game must end normally whatever the folder allows.
void EndGame() {
  SoundBeep();
  WriteConsoleReport();

  std::FILE* record = OpenRecord();
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
