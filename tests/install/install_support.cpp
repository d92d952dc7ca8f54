// Installing the build tree with the cmake that configured it.
#include "install_support.h"

#include <gtest/gtest.h>

CommandResult RunInstall(const std::string& prefix, const std::string& destDir,
                         const std::vector<std::string>& environment) {
  if (Config().cmake.empty() || Config().build.empty()) {
    CommandResult none;
    none.err = "no --cmake=PROGRAM --build=DIR given to the test program";
    return none;
  }
  std::vector<std::string> changes = environment;
  changes.push_back(destDir.empty() ? "DESTDIR" : "DESTDIR=" + destDir);
  return RunCommand({Config().cmake, "--install", Config().build, "--prefix", prefix},
                    EnvironmentWith(changes), "/");
}

bool InstallBuild(const std::string& prefix, const std::string& destDir,
                  const std::vector<std::string>& environment) {
  CommandResult install = RunInstall(prefix, destDir, environment);
  if (install.exited && install.code == 0) return true;
  ADD_FAILURE() << "cmake --install --prefix \"" << prefix << "\" with DESTDIR \"" << destDir
                << "\" failed with " << install.code << ":\n"
                << install.out << install.err;
  return false;
}
