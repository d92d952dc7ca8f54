// A fresh game in the start world for every test, run in a temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "expected_output.h"
#include "game_random_reset.h"
#include "game_state.h"
#include "platform_recorder.h"
#include "temp_folder.h"

class GameTest : public testing::Test {
 protected:
  // The score record lands in the working folder: keep it out of the build tree.
  void SetUp() override {
    FreshGame();
    home_ = std::filesystem::current_path();
    folder_ = MakeTempFolder("velmorak_game");
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(home_);
    if (folder_.empty()) return;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    // Windows won't remove a read-only file. Links are left alone: their targets aren't ours.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_, ignored)) {
      if (!entry.is_symlink(ignored) && entry.is_regular_file(ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
      }
    }
    std::filesystem::remove_all(folder_);
  }

  // The record as start-up leaves it in the first window (250 x 275 world), generator unused.
  static void FreshGame() {
    GameState = GameRecord{};
    GameState.worldHeight = 275.0f;
    PlaceHeadAtStart();
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
