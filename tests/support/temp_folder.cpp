// Scratch folders through the standard library.
#include "temp_folder.h"

#include <system_error>

#include "files.h"

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& stem) : path_(MakeTempFolder(stem).string()) {}

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  // What a test made read-only must still go when the test does: a folder can't be emptied
  // without write permission, and Windows won't remove a read-only file. Each folder is opened
  // for writing before the walk goes into it. Links are left alone: their targets aren't ours.
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  std::error_code walk;
  for (fs::recursive_directory_iterator entry(path_, walk), end; !walk && entry != end;
       entry.increment(walk)) {
    if (!entry->is_symlink(ignored)) {
      fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
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
