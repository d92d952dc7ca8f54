// A console that goes away must not take the game with it: output failures pass silently.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "xvfb_server.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the game at level 8 in folder with its standard output a pipe nobody reads any more.
pid_t StartWithDeadConsole(const std::string& display, const std::string& folder) {
  int input[2], output[2];
  if (pipe(input) != 0 || pipe(output) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    dup2(input[0], 0);
    dup2(output[1], 1);
    close(input[0]);
    close(input[1]);
    close(output[0]);
    close(output[1]);
    setenv("DISPLAY", display.c_str(), 1);
    execl(VELMORAK_GAME, VELMORAK_GAME, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  close(output[0]);  // the reader is gone before the game writes its first byte
  ssize_t written = write(input[1], "8\n", 2);
  close(input[1]);
  return written == 2 ? pid : -1;
}

TEST(ClosedConsole, GameStillPlaysToTheEndAndKeepsItsRecord) {
  XvfbServer server;
  ASSERT_TRUE(server.Start()) << server.error();
  char folderTemplate[] = "/tmp/velmorak-console-XXXXXX";
  ASSERT_NE(mkdtemp(folderTemplate), nullptr);
  std::string folder = folderTemplate;
  std::string record = folder + "/User_score.txt";

  pid_t pid = StartWithDeadConsole(server.display(), folder);
  ASSERT_GT(pid, 0);
  // Level 8 reaches the right wall within half a second; the record appears then.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int status = 0;
  bool exited = false;
  while (ReadFile(record).empty() && std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      exited = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!exited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    exited = waitpid(pid, &status, WNOHANG) == pid;
  }
  EXPECT_FALSE(exited) << "the game ended by itself"
                       << (exited && WIFSIGNALED(status)
                               ? ", killed by signal " + std::to_string(WTERMSIG(status))
                               : std::string());
  EXPECT_EQ(ReadFile(record), "You score is : 1 at level 8\n");
  if (!exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  std::remove(record.c_str());
  rmdir(folder.c_str());
}

}  // namespace
