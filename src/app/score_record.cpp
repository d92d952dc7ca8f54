// Opening the score record: the one place where the rules' file meets the operating system.
#include <cstdio>

#include "platform.h"

#ifdef _WIN32

// Text mode turns the record's newline into CRLF. A record that another program holds open
// without sharing it for writing refuses the open, and the game passes over it like any record
// that can't be written; Windows has no files that make an open or a write wait.
std::FILE* OpenScoreRecord() {
  return std::fopen("User_score.txt", "w");
}

#else

#include <fcntl.h>
#include <unistd.h>

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

#endif
