// What starting the real game takes: a private play folder with its pictures, and the command
// that runs it on a test display.
#pragma once

#include <string>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

constexpr const char* kWindowTitle = "Velmorak Revir - Brevane software organisation";

// A private working directory for one run of the game: its pictures in, its score file out.
class PlayFolder : public ScratchFolder {
 public:
  bool Create() { return ScratchFolder::Create("velmorak-play"); }
  // Copies "sky.bmp" and "background.bmp" from the build's play folder.
  bool CopyPictures(const std::string& fromDir);
};

// program run in workDir with its window on display: through launcher's words when there are
// any (a Windows program under Wine), with DISPLAY, Mesa's software renderer and the extra
// entries ("NAME=value") over this process's environment. Paths are made absolute first: the child
// changes folder.
ChildProcess::Command GameCommand(const std::string& program, const std::string& workDir,
                                  const std::string& display,
                                  const std::vector<std::string>& extraEnvironment,
                                  const std::vector<std::string>& launcher = {});
