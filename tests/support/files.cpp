// Whole files through the standard library.
#include "files.h"

#include <fstream>
#include <sstream>

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  *bytes = content.str();
  return !in.bad();
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  return ReadWholeFile(path, &bytes) ? bytes : "<missing>";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}
