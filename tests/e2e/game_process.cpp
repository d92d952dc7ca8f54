// Child process control for the end-to-end runs: fork/exec with pipes, a reader thread that keeps
// every byte of standard output, and bounded waits for output and for the end.
#include "game_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

// The child's environment, built before fork: after fork only async-signal-safe calls are allowed.
std::vector<std::string> ChildEnvironment(const std::string& display,
                                          const std::vector<std::string>& extra) {
  std::vector<std::string> entries{"DISPLAY=" + display};
  for (const std::string& entry : extra) entries.push_back(entry);
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    std::string name = text.substr(0, text.find('=') + 1);
    bool overridden = false;
    for (const std::string& mine : entries) overridden |= mine.compare(0, name.size(), name) == 0;
    if (!overridden) entries.push_back(text);
  }
  return entries;
}

}  // namespace

GameProcess::~GameProcess() {
  Kill();
  if (inputFd_ >= 0) close(inputFd_);
  if (reader_.joinable()) reader_.join();
}

bool GameProcess::Start(const std::string& program, const std::string& workDir,
                        const std::string& display,
                        const std::vector<std::string>& extraEnvironment,
                        const std::vector<std::string>& launcher, Console console) {
  // The child changes directory before exec, so a relative program path must be fixed first.
  std::vector<std::string> words = launcher;
  words.push_back(program);
  for (std::string& word : words) {
    char* resolved = realpath(word.c_str(), nullptr);
    if (resolved == nullptr) {
      error_ = "cannot find " + word + ": " + std::strerror(errno);
      return false;
    }
    word = resolved;
    std::free(resolved);
  }
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = ChildEnvironment(display, extraEnvironment);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int input[2];
  int output[2];
  if (pipe2(input, O_CLOEXEC) != 0) {
    error_ = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(output, O_CLOEXEC) != 0) {
    error_ = std::string("pipe: ") + std::strerror(errno);
    close(input[0]);
    close(input[1]);
    return false;
  }

  pid_ = fork();
  if (pid_ < 0) {
    error_ = std::string("fork: ") + std::strerror(errno);
    for (int fd : {input[0], input[1], output[0], output[1]}) close(fd);
    return false;
  }
  if (pid_ == 0) {
    // dup2 clears close-on-exec on the copies; the originals close at exec.
    if (chdir(workDir.c_str()) != 0 || dup2(input[0], 0) < 0 || dup2(output[1], 1) < 0) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  inputFd_ = input[1];
  if (console == Console::Closed) {
    close(output[0]);
  } else {
    reader_ = std::thread(&GameProcess::ReadOutput, this, output[0]);
  }
  return true;
}

void GameProcess::ReadOutput(int fd) {
  char buffer[4096];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    std::lock_guard<std::mutex> lock(mutex_);
    output_.append(buffer, static_cast<size_t>(got));
    grew_.notify_all();
  }
  close(fd);
}

void GameProcess::WriteInputAndClose(const std::string& text) {
  if (inputFd_ < 0) return;
  // A game that died early must not take the driver down with SIGPIPE.
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

std::string GameProcess::Output() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return output_;
}

bool GameProcess::WaitForOutput(const std::string& needle, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return grew_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return output_.find(needle) != std::string::npos; });
}

bool GameProcess::Reap(int options) {
  if (pid_ <= 0) return true;
  int status = 0;
  pid_t got = waitpid(pid_, &status, options);
  if (got != pid_) return false;
  pid_ = -1;
  if (WIFEXITED(status)) {
    exited_ = true;
    exitCode_ = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    signal_ = WTERMSIG(status);
  }
  return true;
}

bool GameProcess::WaitForExit(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!Reap(WNOHANG)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(5000);
  }
  // The pipe closes with the process; let the reader take the last bytes before anyone looks.
  if (reader_.joinable()) reader_.join();
  return true;
}

bool GameProcess::Running() {
  return !Reap(WNOHANG);
}

void GameProcess::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    Reap(0);
  }
  if (reader_.joinable()) reader_.join();
}
