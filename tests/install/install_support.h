// An install of the build tree into a folder, with the cmake and the build tree given on the
// command line (--cmake, --build).
#pragma once

#include <string>
#include <vector>

#include "child_process.h"
#include "files.h"
#include "game_window_test.h"
#include "temp_folder.h"

// `cmake --install` of the build tree with this prefix, staged under destDir unless it is empty,
// with these changes to the environment (as EnvironmentWith takes them).
CommandResult RunInstall(const std::string& prefix, const std::string& destDir,
                         const std::vector<std::string>& environment = {});
// The same, adding a failure with cmake's output and returning false when the install fails.
bool InstallBuild(const std::string& prefix, const std::string& destDir,
                  const std::vector<std::string>& environment = {});
