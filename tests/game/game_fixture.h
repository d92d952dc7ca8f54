// A fresh game in the start world for every test, run in a temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "expected_output.h"
#include "files.h"
#include "game_random_reset.h"
#include "game_state.h"
#include "platform_recorder.h"
#include "temp_folder.h"

class GameTest : public testing::Test {
 protected:
  // The score record lands in the working folder: keep it out of the build tree. The folder
  // goes with the fixture, once the test has left it.
  void SetUp() override {
    FreshGame();
    home_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
  }
  void TearDown() override { std::filesystem::current_path(home_); }

  // The record as start-up leaves it in the first window (250 x 275 world), generator unused.
  static void FreshGame() {
    GameState = GameRecord{};
    ResetGameRandom();
    StartAsStartUpDoes();
  }

  // Start-up's own steps and the first window's reshape, on whatever record and generator the
  // test has left.
  static void StartAsStartUpDoes() {
    GameState.worldHeight = 275.0f;
    PlaceHeadAtStart();
    GameState.edgeStep = GameState.stepX;
    GameState.tickInterval = 80;
    GameState.level = 5;
    ResetRecorder();
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
  static void PlaceSegment(int i, float x, float y) {
    GameState.segmentX[i] = x;
    GameState.segmentY[i] = y;
  }

  std::filesystem::path home_;
  ScratchFolder folder_{"velmorak_game"};
};
