// Every program the tests start, started one way: fork and exec with the standard streams each
// test needs, a reader thread that keeps every byte the program writes, and bounded waits.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// This process's environment with the given entries put in: "NAME=value" sets, "NAME" removes.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes);

// The program's full path from a folder of PATH, or "" when no folder holds one we may run.
std::string FindProgram(const std::string& name);

class ChildProcess {
 public:
  // Where the child's standard input comes from.
  enum class Source {
    Pipe,    // ours: WriteInputAndClose fills and closes it
    Null,    // /dev/null
    Closed,  // none: the child starts with descriptor 0 closed
  };
  // Where one of the child's outputs goes.
  enum class Sink {
    Keep,        // a pipe read to its end: Output() and Errors() hold every byte
    ReaderGone,  // a pipe whose reading end is closed before the child writes its first byte
    Null,        // /dev/null
    Inherit,     // wherever the test's own goes
  };

  struct Command {
    // argv[0] is a path (taken from workDir when relative) or a name looked up in PATH.
    std::vector<std::string> argv;
    // The child's whole environment: EnvironmentWith starts one from this process's.
    std::vector<std::string> environment = EnvironmentWith({});
    std::string workDir;  // empty: this process's
    Source input = Source::Pipe;
    Sink output = Sink::Keep;
    Sink errors = Sink::Inherit;
  };

  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // On failure returns false and leaves the reason in error(). A new start ends the last child.
  bool Start(const Command& command);

  // Writes text to the child's standard input, then closes it.
  void WriteInputAndClose(const std::string& text);

  // What the child has written to standard output and standard error so far.
  std::string Output() const;
  std::string Errors() const;

  // Waits at most timeoutMs until the standard output contains needle; true when it does.
  bool WaitForOutput(const std::string& needle, int timeoutMs) const;

  // Waits at most timeoutMs for the child to end by itself; true when it has ended.
  bool WaitForExit(int timeoutMs);

  bool Running();
  // Valid once the child has ended: exited() with exitCode(), or killed by signal().
  bool exited() const { return exited_; }
  int exitCode() const { return exitCode_; }
  int signal() const { return signal_; }

  // Kills a child that is still running and waits for it; safe to call at any time.
  void Kill();
  // Asks the child to end (SIGTERM), and kills it when it hasn't within graceMs.
  void Stop(int graceMs);

  const std::string& error() const { return error_; }

 private:
  void ReadOutputs(int outFd, int errFd);
  bool Reap(int options);
  void JoinReader();

  pid_t pid_ = -1;
  int inputFd_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  mutable std::condition_variable grew_;
  std::string output_;
  std::string errors_;
  // Set once the child is reaped. Its bytes are all in the pipes by then; whatever still holds
  // them open is a program it left behind (Wine's services), which the reader doesn't wait for.
  std::atomic<bool> reaped_{false};
  bool exited_ = false;
  int exitCode_ = -1;
  int signal_ = 0;
  std::string error_;
};

struct CommandResult {
  bool exited = false;  // false: could not start, killed by a signal, or stopped after the bound
  int code = -1;
  std::string out;
  std::string err;
};

// Runs argv in workDir with exactly the environment given and standard input from /dev/null,
// keeping both outputs; gives up and kills it after timeoutMs.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, const std::string& workDir,
                         int timeoutMs = 120000);
