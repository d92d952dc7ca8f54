// Play folders and the game's command line.
#include "game_launch.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool PlayFolder::CopyPictures(const std::string& fromDir) {
  for (const char* picture : {"sky.bmp", "background.bmp"}) {
    std::error_code error;
    fs::copy_file(fs::path(fromDir) / picture, Path(picture), error);
    if (error) {
      error_ = std::string("cannot copy ") + picture + " from " + fromDir + " (" + error.message() +
               "); build the target velmorak_pictures";
      return false;
    }
  }
  return true;
}

ChildProcess::Command GameCommand(const std::string& program, const std::string& workDir,
                                  const std::string& display,
                                  const std::vector<std::string>& extraEnvironment,
                                  const std::vector<std::string>& launcher) {
  ChildProcess::Command command;
  command.argv = launcher;
  command.argv.push_back(program);
  for (std::string& word : command.argv) {
    if (word.find('/') == std::string::npos) continue;  // a name for PATH
    std::error_code ignored;
    fs::path resolved = fs::weakly_canonical(word, ignored);
    if (!resolved.empty()) word = resolved.string();
  }
  // Xvfb has no GPU: ask Mesa for llvmpipe outright rather than whatever it falls back to.
  std::vector<std::string> changes{"DISPLAY=" + display, "LIBGL_ALWAYS_SOFTWARE=1",
                                   "GALLIUM_DRIVER=llvmpipe"};
  changes.insert(changes.end(), extraEnvironment.begin(), extraEnvironment.end());
  command.environment = EnvironmentWith(changes);
  command.workDir = workDir;
  return command;
}
