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
