// fork and exec with pipes; one reader thread per child drains its standard output and error.
#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A pipe whose ends both close at exec; ends stay -1 when none is wanted.
bool MakePipe(bool wanted, int ends[2], std::string* error) {
  if (!wanted || pipe2(ends, O_CLOEXEC) == 0) return true;
  *error = std::string("pipe: ") + std::strerror(errno);
  return false;
}

bool Piped(ChildProcess::Sink output) {
  return output == ChildProcess::Sink::Keep || output == ChildProcess::Sink::ReaderGone;
}

// In the child: fd becomes target, open across exec. Async-signal-safe calls only.
bool MoveTo(int fd, int target) {
  if (fd == target) return fcntl(target, F_SETFD, 0) == 0;
  return dup2(fd, target) == target;
}

void CloseAll(std::initializer_list<int> fds) {
  for (int fd : fds)
    if (fd >= 0) close(fd);
}

}  // namespace

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

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= folders.size();) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = folders.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

ChildProcess::~ChildProcess() {
  Kill();
  if (inputFd_ >= 0) close(inputFd_);
  JoinReader();
}

bool ChildProcess::Start(const Command& command) {
  // A second start forgets the first child, after making sure it is gone.
  Kill();
  if (inputFd_ >= 0) close(inputFd_);
  inputFd_ = -1;
  output_.clear();
  errors_.clear();
  exited_ = false;
  exitCode_ = -1;
  signal_ = 0;
  error_.clear();
  if (command.argv.empty()) {
    error_ = "no program to run";
    return false;
  }
  // Found here rather than by exec, so that a missing program is reported, not exit status 127.
  std::string program = command.argv[0];
  if (program.find('/') == std::string::npos) {
    program = FindProgram(program);
    if (program.empty()) {
      error_ = "cannot find " + command.argv[0] + " in PATH";
      return false;
    }
  } else {
    std::string seen =
        program[0] == '/' || command.workDir.empty() ? program : command.workDir + "/" + program;
    if (access(seen.c_str(), X_OK) != 0) {
      error_ = "cannot run " + seen + ": " + std::strerror(errno);
      return false;
    }
  }
  // Everything the child needs is built before fork: afterwards only async-signal-safe calls.
  std::vector<std::string> args = command.argv;
  std::vector<std::string> envs = command.environment;
  std::vector<char*> argp = Pointers(args);
  std::vector<char*> envp = Pointers(envs);

  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) {
    error_ = std::string("/dev/null: ") + std::strerror(errno);
    return false;
  }
  if (!MakePipe(command.input == Source::Pipe, in, &error_) ||
      !MakePipe(Piped(command.output), out, &error_) ||
      !MakePipe(Piped(command.errors), err, &error_)) {
    CloseAll({null, in[0], in[1], out[0], out[1], err[0], err[1]});
    return false;
  }

  pid_ = fork();
  if (pid_ < 0) {
    error_ = std::string("fork: ") + std::strerror(errno);
    CloseAll({null, in[0], in[1], out[0], out[1], err[0], err[1]});
    return false;
  }
  if (pid_ == 0) {
    const int stdinFrom = command.input == Source::Pipe ? in[0] : null;
    const int stdoutTo = Piped(command.output) ? out[1] : null;
    const int stderrTo = Piped(command.errors) ? err[1] : null;
    if ((command.input != Source::Closed && !MoveTo(stdinFrom, 0)) ||
        (command.output != Sink::Inherit && !MoveTo(stdoutTo, 1)) ||
        (command.errors != Sink::Inherit && !MoveTo(stderrTo, 2))) {
      _exit(125);
    }
    if (command.input == Source::Closed) close(0);
    if (!command.workDir.empty() && chdir(command.workDir.c_str()) != 0) _exit(126);
    execve(program.c_str(), argp.data(), envp.data());
    _exit(127);
  }
  CloseAll({null, in[0], out[1], err[1]});
  inputFd_ = in[1];
  if (command.output == Sink::ReaderGone) CloseAll({out[0]});
  if (command.errors == Sink::ReaderGone) CloseAll({err[0]});
  const int outFd = command.output == Sink::Keep ? out[0] : -1;
  const int errFd = command.errors == Sink::Keep ? err[0] : -1;
  reaped_ = false;
  if (outFd >= 0 || errFd >= 0)
    reader_ = std::thread(&ChildProcess::ReadOutputs, this, outFd, errFd);
  return true;
}

void ChildProcess::ReadOutputs(int outFd, int errFd) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* into[2] = {&output_, &errors_};
  int left = (outFd >= 0) + (errFd >= 0);
  while (left > 0) {
    const int ready = poll(fds, 2, 50);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    // Nothing left to read from a child that has ended, though something keeps its pipes open.
    if (ready == 0) {
      if (reaped_) break;
      continue;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;  // poll passes over it from now on
        --left;
        continue;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      into[i]->append(buffer, static_cast<size_t>(got));
      grew_.notify_all();
    }
  }
  CloseAll({fds[0].fd, fds[1].fd});
}

void ChildProcess::WriteInputAndClose(const std::string& text) {
  if (inputFd_ < 0) return;
  // A child that died early must not take the test down with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  size_t done = 0;
  while (done < text.size()) {
    ssize_t put = write(inputFd_, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  close(inputFd_);
  inputFd_ = -1;
}

std::string ChildProcess::Output() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return output_;
}

std::string ChildProcess::Errors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return errors_;
}

bool ChildProcess::WaitForOutput(const std::string& needle, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return grew_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return output_.find(needle) != std::string::npos; });
}

bool ChildProcess::Reap(int options) {
  if (pid_ <= 0) return true;
  int status = 0;
  pid_t got = waitpid(pid_, &status, options);
  if (got != pid_) return false;
  pid_ = -1;
  reaped_ = true;
  if (WIFEXITED(status)) {
    exited_ = true;
    exitCode_ = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    signal_ = WTERMSIG(status);
  }
  return true;
}

void ChildProcess::JoinReader() {
  if (reader_.joinable()) reader_.join();
}

bool ChildProcess::WaitForExit(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!Reap(WNOHANG)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(2000);
  }
  // The pipes close with the child; let the reader take the last bytes before anyone looks.
  JoinReader();
  return true;
}

bool ChildProcess::Running() {
  return !Reap(WNOHANG);
}

void ChildProcess::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    Reap(0);
  }
  JoinReader();
}

void ChildProcess::Stop(int graceMs) {
  if (pid_ > 0) kill(pid_, SIGTERM);
  if (!WaitForExit(graceMs)) Kill();
}

CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, const std::string& workDir,
                         int timeoutMs) {
  CommandResult result;
  ChildProcess child;
  ChildProcess::Command command;
  command.argv = argv;
  command.environment = environment;
  command.workDir = workDir;
  command.input = ChildProcess::Source::Null;
  command.errors = ChildProcess::Sink::Keep;
  if (!child.Start(command)) {
    result.err = child.error();
    return result;
  }
  if (!child.WaitForExit(timeoutMs)) {
    child.Kill();
    result.err = "[stopped after " + std::to_string(timeoutMs) + " ms]\n";
  } else if (child.exited()) {
    result.exited = true;
    result.code = child.exitCode();
  }
  result.out = child.Output();
  result.err += child.Errors();
  return result;
}
