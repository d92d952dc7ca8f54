// Temporary play folders, removed with everything the game left in them.
#include "play_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

PlayFolder::~PlayFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

bool PlayFolder::Create() {
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string pattern = (base / "velmorak-e2e-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    error_ = "cannot create a folder like " + pattern;
    return false;
  }
  path_ = name.data();
  return true;
}

bool PlayFolder::CopyPictures(const std::string& fromDir) {
  for (const char* picture : {"sky.bmp", "background.bmp"}) {
    std::error_code error;
    fs::copy_file(fs::path(fromDir) / picture, fs::path(path_) / picture, error);
    if (error) {
      error_ = std::string("cannot copy ") + picture + " from " + fromDir + " (" + error.message() +
               "); build the target velmorak_pictures";
      return false;
    }
  }
  return true;
}

bool PlayFolder::WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(fs::path(path_) / name, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}

bool PlayFolder::ReadFile(const std::string& name, std::string* bytes) const {
  std::ifstream in(fs::path(path_) / name, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  *bytes = content.str();
  return true;
}

bool PlayFolder::Exists(const std::string& name) const {
  std::error_code ignored;
  return fs::exists(fs::path(path_) / name, ignored);
}
