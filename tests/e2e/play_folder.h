// A private working directory for one run of the game: its pictures in, its score file out.
#pragma once

#include <string>

class PlayFolder {
 public:
  PlayFolder() = default;
  ~PlayFolder();
  PlayFolder(const PlayFolder&) = delete;
  PlayFolder& operator=(const PlayFolder&) = delete;

  // Makes a fresh empty folder under the temporary directory.
  bool Create();
  // Copies "sky.bmp" and "background.bmp" from the build's play folder.
  bool CopyPictures(const std::string& fromDir);

  bool WriteFile(const std::string& name, const std::string& bytes);
  // False when the file does not exist or cannot be read.
  bool ReadFile(const std::string& name, std::string* bytes) const;
  bool Exists(const std::string& name) const;

  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 private:
  std::string path_;
  std::string error_;
};
