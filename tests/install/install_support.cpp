// Running programs for the install tests: fork and exec with both outputs kept in files, since a
// message on standard error is part of what the launcher promises.
#include "install_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

InstallConfig& Config() {
  static InstallConfig config;
  return config;
}

namespace {

// An unlinked temporary file: the child writes into it and we read it back from the start.
int TemporaryFile() {
  char name[] = "/tmp/velmorak-install-out-XXXXXX";
  int fd = mkstemp(name);
  if (fd >= 0) unlink(name);
  return fd;
}

std::string ReadBack(int fd) {
  std::string text;
  if (lseek(fd, 0, SEEK_SET) != 0) return text;
  char buffer[4096];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  return text;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, const std::string& workDir,
                         int timeoutMs) {
  CommandResult result;
  // Everything the child needs is built before fork: afterwards only async-signal-safe calls.
  std::vector<std::string> args = argv;
  std::vector<std::string> envs = environment;
  std::vector<char*> argp = Pointers(args);
  std::vector<char*> envp = Pointers(envs);
  int out = TemporaryFile();
  int err = TemporaryFile();
  if (out < 0 || err < 0 || args.empty()) {
    result.err = "cannot make a temporary file for the output";
    if (out >= 0) close(out);
    if (err >= 0) close(err);
    return result;
  }
  pid_t pid = fork();
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    if (in < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(125);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  if (pid > 0) {
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pid_t got;
    while ((got = waitpid(pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
      usleep(2000);
    }
    if (got == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.err = "[stopped after " + std::to_string(timeoutMs) + " ms]\n";
    } else if (got == pid && WIFEXITED(status)) {
      result.exited = true;
      result.code = WEXITSTATUS(status);
    }
  }
  result.out = ReadBack(out);
  result.err += ReadBack(err);
  close(out);
  close(err);
  return result;
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
  std::vector<std::string> entries;
  auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    bool changed = false;
    for (const std::string& change : changes) changed |= nameOf(change) == nameOf(text);
    if (!changed) entries.push_back(text);
  }
  for (const std::string& change : changes)
    if (change.find('=') != std::string::npos) entries.push_back(change);
  return entries;
}

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

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}
