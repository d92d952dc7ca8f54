// Opening the score record on Linux and other POSIX systems (the page's emscripten file system
// too): the one place where the rules' file meets the operating system. Anything that can't be
// opened at once, without waiting, counts as a record that can't be written.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform.h"

// A named pipe that nobody reads would hold a plain open for writing, and the game with it, in
// its last tick forever; opened without waiting, it refuses like any record that can't be
// written. Writes don't wait either: a reader that has stopped reading can't freeze the game.
// A new file gets the permissions fopen would give it.
std::FILE* OpenScoreRecord() {
  int fd = open("User_score.txt", O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* record = fdopen(fd, "w");
  if (record == nullptr) close(fd);
  return record;
}
