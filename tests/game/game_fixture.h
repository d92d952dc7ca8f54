// A fresh game in the start world for every test, run in a temporary folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "game_random_reset.h"
#include "game_state.h"
#include "platform_recorder.h"

class GameTest : public testing::Test {
 protected:
  // The score record lands in the working folder: keep it out of the build tree.
  void SetUp() override {
    FreshGame();
    home_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "velmorak_game_XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(home_);
    if (folder_.empty()) return;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder_);
  }

  // The record as start-up leaves it in the first window (250 x 275 world), generator unused.
  static void FreshGame() {
    GameState = GameRecord{};
    GameState.worldHeight = 275.0f;
    GameState.segmentX[0] = 100.0f;
    GameState.segmentY[0] = 100.0f;
    GameState.edgeStep = GameState.stepX;
    GameState.tickInterval = 80;
    GameState.level = 5;
    ResetRecorder();
    ResetGameRandom();
  }

  static std::string Capture(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
  }
  static std::string Report(int score) {
    return "\n\n=========================\nYour score is " + std::to_string(score) +
           "\nGame Over\n\n";
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void PlaceSegment(int i, float x, float y) {
    GameState.segmentX[i] = x;
    GameState.segmentY[i] = y;
  }

  std::filesystem::path home_;
  std::filesystem::path folder_;
};
