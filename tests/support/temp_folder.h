// A new, empty folder under the system's temporary directory, made with the standard library
// alone so that the tests build on every platform.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

inline std::filesystem::path MakeTempFolder(const std::string& stem) {
  std::random_device seed;
  std::mt19937_64 names(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         (stem + "-" + std::to_string(names() % 1000000000));
    // False when the name is taken: try another.
    if (std::filesystem::create_directory(folder)) return folder;
  }
  throw std::runtime_error("cannot make a temporary folder for " + stem);
}

// Such a folder for the length of a test or a run, removed with everything left in it, even
// what a test made read-only.
class ScratchFolder {
 public:
  ScratchFolder() = default;
  // Makes the folder at once and throws when it can't: for a fixture's member, whose failure
  // gtest reports as the test's.
  explicit ScratchFolder(const std::string& stem);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Makes the folder; on failure returns false and leaves the reason in error().
  bool Create(const std::string& stem = "velmorak-test");

  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  bool WriteFile(const std::string& name, const std::string& bytes);
  // False when the file does not exist or cannot be read.
  bool ReadFile(const std::string& name, std::string* bytes) const;
  bool Exists(const std::string& name) const;

  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 protected:
  std::string error_;

 private:
  std::string path_;
};
