// Folders and files that refuse the score record, for the game-over tests.
#pragma once

#include <vector>

// arrange returns false when this user can't be refused that way (root ignores permissions);
// release, when given, undoes what arrange holds once the game has ended.
struct RefusalCase {
  const char* name;
  bool (*arrange)();
  const char* oldContent;  // what the name must still hold afterwards; null: not checked
  void (*release)() = nullptr;
};

// The refusals only this platform has.
std::vector<RefusalCase> PlatformRefusals();

bool CanOpenForWriting(const char* path);
