// Xvfb started with -displayfd, so parallel tests never fight over a display number.
#include "xvfb_server.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

XvfbServer::~XvfbServer() { Stop(); }

bool XvfbServer::Start(int screenWidth, int screenHeight, int timeoutMs) {
  int fds[2];
  if (pipe(fds) != 0) {
    error_ = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  std::string screen = std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "x24";
  std::string fdText = std::to_string(fds[1]);
  pid_ = fork();
  if (pid_ < 0) {
    error_ = std::string("fork: ") + std::strerror(errno);
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid_ == 0) {
    close(fds[0]);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(),
           "-nolisten", "tcp", "-noreset", "+extension", "GLX", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);

  std::string number;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (number.empty() || number.back() != '\n') {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    pollfd pfd{fds[0], POLLIN, 0};
    if (left <= 0 || poll(&pfd, 1, static_cast<int>(left)) <= 0) break;
    char c;
    if (read(fds[0], &c, 1) != 1) break;
    number.push_back(c);
  }
  close(fds[0]);
  if (number.empty() || number.back() != '\n') {
    error_ = "Xvfb did not report a display (is the xvfb package installed?)";
    Stop();
    return false;
  }
  number.pop_back();
  display_ = ":" + number;
  return true;
}

void XvfbServer::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      usleep(20000);
    }
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
  }
  pid_ = -1;
  display_.clear();
}
