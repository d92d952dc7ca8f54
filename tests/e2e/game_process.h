// The real game as a child process: its standard input, its standard output byte for byte, and
// how it ended.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class GameProcess {
 public:
  GameProcess() = default;
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // What the game's standard output is: a pipe read to its end, or one whose reading end is
  // closed before the game writes its first byte.
  enum class Console { Read, Closed };

  // Runs program in workDir with DISPLAY set to display and the given extra environment entries
  // ("NAME=value"), through launcher when one is given (its words come before the program: a
  // Windows program under Wine). On failure returns false and leaves the reason in error().
  bool Start(const std::string& program, const std::string& workDir, const std::string& display,
             const std::vector<std::string>& extraEnvironment,
             const std::vector<std::string>& launcher = {}, Console console = Console::Read);

  // Writes text to the game's standard input, then closes it: the game reads only its level.
  void WriteInputAndClose(const std::string& text);

  // Everything the game has written to standard output so far.
  std::string Output() const;

  // Waits at most timeoutMs until the output contains needle; true when it does.
  bool WaitForOutput(const std::string& needle, int timeoutMs) const;

  // Waits at most timeoutMs for the process to end by itself; true when it has ended.
  bool WaitForExit(int timeoutMs);

  bool Running();
  // Valid once the process has ended: exited() with exitCode(), or killed by signal().
  bool exited() const { return exited_; }
  int exitCode() const { return exitCode_; }
  int signal() const { return signal_; }

  // Kills a game that is still running and waits for it; safe to call at any time.
  void Kill();

  const std::string& error() const { return error_; }

 private:
  void ReadOutput(int fd);
  bool Reap(int options);

  pid_t pid_ = -1;
  int inputFd_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  mutable std::condition_variable grew_;
  std::string output_;
  bool exited_ = false;
  int exitCode_ = -1;
  int signal_ = 0;
  std::string error_;
};
