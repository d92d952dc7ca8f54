// What the install tests share: where cmake and the build tree are, a way to run a program with
// an environment of our choosing and keep both of its outputs, and an install into a folder.
#pragma once

#include <string>
#include <vector>

struct InstallConfig {
  std::string cmake;  // the cmake that configured the build
  std::string build;  // the build tree to install from
  std::string setup;  // the Windows installer, tried under Wine through the wine runner below
  std::string wine;
};
InstallConfig& Config();

struct CommandResult {
  bool exited = false;  // false: could not start, killed by a signal, or stopped after the bound
  int code = -1;
  std::string out;
  std::string err;
};

// Runs argv[0] in workDir with exactly the environment given ("NAME=value" entries) and standard
// input from /dev/null; gives up and kills it after timeoutMs.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, const std::string& workDir,
                         int timeoutMs = 120000);

// This process's environment with the given entries put in: "NAME=value" sets, "NAME" removes.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes);

// `cmake --install` of the build tree with this prefix, staged under destDir unless it is empty,
// with these changes to the environment (as EnvironmentWith takes them).
CommandResult RunInstall(const std::string& prefix, const std::string& destDir,
                         const std::vector<std::string>& environment = {});
// The same, adding a failure with cmake's output and returning false when the install fails.
bool InstallBuild(const std::string& prefix, const std::string& destDir,
                  const std::vector<std::string>& environment = {});

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
