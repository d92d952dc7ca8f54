// Opening the score record on Windows: the one place where the rules' file meets the operating
// system. The C library's plain open is all it takes there.
#include <cstdio>

#include "platform.h"

// Text mode turns the record's newline into CRLF. A record that another program holds open
// without sharing it for writing refuses the open, and the game passes over it like any record
// that can't be written; Windows has no files that make an open or a write wait.
std::FILE* OpenScoreRecord() {
  return std::fopen("User_score.txt", "w");
}
