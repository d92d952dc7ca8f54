// A whole game under valgrind's memcheck, from the level prompt to the close: no invalid read or
// write anywhere, and no error or definite leak that starts in the game's own code.
#include <iostream>
#include <sstream>

#include "expected_output.h"
#include "files.h"
#include "hardening_run.h"

namespace {

// Everything is slow under valgrind, llvmpipe most of all: bounded, but generously.
constexpr int kValgrindTimeoutMs = 240000;

// One error record of the log: its first line says what it is, the rest is its stacks.
struct Record {
  std::vector<std::string> lines;
};

std::vector<Record> ReadRecords(const std::string& log) {
  std::vector<Record> records;
  std::istringstream in(log);
  Record current;
  for (std::string line; std::getline(in, line);) {
    // Every line starts "==pid== "; a line with nothing after it ends a record.
    size_t text = line.find("== ");
    line = text == std::string::npos ? std::string() : line.substr(text + 3);
    if (line.find_first_not_of(' ') == std::string::npos) {
      if (!current.lines.empty()) records.push_back(current);
      current.lines.clear();
    } else {
      current.lines.push_back(line);
    }
  }
  if (!current.lines.empty()) records.push_back(current);
  return records;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool InOurCode(const std::string& frameLine) {
  return frameLine.find(Config().sourceRoot) != std::string::npos;
}

// The game's fault when it touched memory it doesn't own, when its own code made the error, or
// when a block its own code allocated (the first caller of the allocator) was lost for good.
bool IsOurFault(const Record& record, std::string* why) {
  const std::string& kind = record.lines[0];
  if (StartsWith(kind, "Invalid read") || StartsWith(kind, "Invalid write")) {
    *why = kind;
    return true;
  }
  size_t top = 1;
  if (kind.find("definitely lost") != std::string::npos) {
    top = 2;  // line 1 is the allocator itself
  } else if (kind.find("lost in loss record") != std::string::npos || record.lines.size() < 2 ||
             !StartsWith(record.lines[1].substr(record.lines[1].find_first_not_of(' ')), "at ")) {
    return false;  // a summary, not an error
  }
  if (top < record.lines.size() && InOurCode(record.lines[top])) {
    *why = kind + " " + record.lines[top];
    return true;
  }
  return false;
}

std::string Join(const Record& record) {
  std::string text;
  for (const std::string& line : record.lines) text += line + "\n";
  return text;
}

using Memcheck = HardeningTest;

TEST_F(Memcheck, WholeGameLeavesNoInvalidAccessAndLosesNothingOfOurs) {
  if (Config().valgrind.empty()) {
    GTEST_SKIP() << "no valgrind given (it is only used with a build without sanitizers)";
  }
  ASSERT_FALSE(Config().sourceRoot.empty()) << "--source-root is needed to tell our frames apart";
  const std::string log =
      (Config().frames.empty() ? std::string("/tmp") : Config().frames) + "/memcheck.log";
  LaunchOptions options;
  options.wrapper = {Config().valgrind,
                     "--tool=memcheck",
                     "--leak-check=full",
                     "--show-leak-kinds=definite",
                     "--errors-for-leak-kinds=definite",
                     "--suppressions=" + Config().suppressions,
                     "--fullpath-after=",
                     "--num-callers=40",
                     "--log-file=" + log};
  options.startTimeoutMs = kValgrindTimeoutMs;
  ASSERT_TRUE(Start(options));
  Frame over;
  ASSERT_TRUE(WaitForGameOver(1, &over, kValgrindTimeoutMs));
  EXPECT_EQ(game().Output(), StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1));
  EXPECT_EQ(ScoreFile(), ScoreRecord(1, 8));
  // valgrind runs its leak search after the game's exit, before the process ends.
  CloseAndExpectCleanExit(kValgrindTimeoutMs);

  const std::string content = ReadWholeFile(log);
  ASSERT_NE(content.find("ERROR SUMMARY"), std::string::npos)
      << "no complete memcheck log at " << log;
  int ours = 0;
  for (const Record& record : ReadRecords(content)) {
    std::string why;
    if (!IsOurFault(record, &why)) continue;
    ++ours;
    ADD_FAILURE() << why << "\n" << Join(record);
  }
  std::istringstream lines(content);
  for (std::string line; std::getline(lines, line);) {
    for (const char* summary : {"ERROR SUMMARY", "definitely lost:", "possibly lost:"}) {
      if (line.find(summary) != std::string::npos) std::cout << line << "\n";
    }
  }
  std::cout << ours << " memcheck records in the game's own code; full log: " << log << "\n";
}

}  // namespace
