// Scratch folders through the standard library.
#include "temp_folder.h"

#include <system_error>

#include "files.h"

namespace fs = std::filesystem;

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  // A folder a test made unwritable must still go when the test does.
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

bool ScratchFolder::Create(const std::string& stem) {
  try {
    path_ = MakeTempFolder(stem).string();
    return true;
  } catch (const std::exception& e) {
    error_ = e.what();
    return false;
  }
}

bool ScratchFolder::WriteFile(const std::string& name, const std::string& bytes) {
  return WriteWholeFile(Path(name), bytes);
}

bool ScratchFolder::ReadFile(const std::string& name, std::string* bytes) const {
  return ReadWholeFile(Path(name), bytes);
}

bool ScratchFolder::Exists(const std::string& name) const {
  std::error_code ignored;
  return fs::exists(Path(name), ignored);
}
