// The one record of the game and the functions that change it.
//
// How the game works: once the level is typed, each front end calls StartGame (src/app), which
// fills in the level, the tick interval, the head's start and the two loaded images, opens the
// window and hands the thread to the toolkit's event loop. From then on everything happens
// inside callbacks on that one thread, one at a time, so nothing here is locked:
//  - OnTick moves the head, applies the wall, body and food rules and lets the body follow; it is
//    the only writer of the segments, the food and segmentCount, and re-arms itself every call;
//  - OnSpecialKey only stores intent: direction, and the pause flags;
//  - EndGame sets the three flags that freeze the game for good;
//  - OnReshape (src/app) writes worldWidth and worldHeight, which the next tick uses as walls;
//  - OnDisplay (src/render) reads everything and writes nothing but scoreText.
// The record lives for the whole game. The desktop plays one game a run; the page can play
// another after a game over, and ForgetGame puts everything back as a fresh run has it first.
#pragma once

#include <cstdint>

struct BitmapInfo;

enum Direction : int32_t { DirLeft = 1, DirRight = 2, DirUp = 3, DirDown = 4 };

// Entries in each segment array; segmentCount never grows past it.
constexpr int32_t kMaxSegments = 1000;

struct GameRecord {
  int32_t blockSize = 7;          // side of every square, world units
  float stepX = 8.0f;             // head's move per tick across
  float stepY = 8.0f;             // head's move per tick up or down
  float worldWidth = 250.0f;      // visible world, set by the reshape
  float worldHeight = 250.0f;     // visible world including the panel
  int32_t direction = DirRight;   // heading, DirLeft..DirDown
  float foodX = 125.0f;           // food's lower-left corner
  float foodY = 130.0f;
  int32_t segmentCount = 1;       // live segments, head included: the score
  const char* scoreLabel = "Score :";
  const char* gameOverLabel = "Game Over!";
  const char* titleLabel = "Velmorak Revir";
  const char* pausedLabel = "Paused";
  const char* pauseHintLabel = "Press F1 to pause";
  const char* dedicationLabel = "Dedicated to Tavrin";
  float panelHeight = 35.0f;      // status panel along the top of the world
  float segmentX[kMaxSegments] = {};  // lower-left x of each segment; 0 is the head
  float segmentY[kMaxSegments] = {};
  char scoreText[12] = {};        // segmentCount in decimal, written by the frame
  BitmapInfo* backgroundInfo = nullptr;  // "background.bmp", textures the playfield
  float edgeStep = 0.0f;          // push-back at walls and food correction; stepX from start-up
  BitmapInfo* skyInfo = nullptr;  // "sky.bmp", textures the panel
  int32_t level = 0;              // as typed on the console, even outside 1..8
  unsigned char* backgroundPixels = nullptr;
  unsigned char* skyPixels = nullptr;
  int32_t tickInterval = 0;       // milliseconds between ticks
  int32_t showGameOver = 0;       // panel shows gameOverLabel
  int32_t showPaused = 0;         // panel shows pausedLabel
  int32_t paused = 0;             // the tick leaves the game alone
  int32_t gameOver = 0;           // final: F1 can no longer resume
};

extern GameRecord GameState;

// Puts the head where every game starts it, (100, 100): start-up does it once before the first
// tick, and the tests' fresh game the same way.
void PlaceHeadAtStart();

// The record at its start values and the generator at its start, as a fresh run of the program has
// them: a new game then plays exactly as the first. The pictures' blocks are the caller's to
// release first.
void ForgetGame();

// Timer callback: one step of the game, then a redraw request and the next timer.
void OnTick(int32_t value);

// Special-key callback: arrows set the heading (never straight back), F1 pauses and resumes.
void OnSpecialKey(int32_t key, int32_t x, int32_t y);

// Ends the game: beep, console report, "User_score.txt", the three flags. Full effect every call.
void EndGame();

// Head against body; every overlapping segment calls EndGame.
void CheckSelfCollision();

// Head against food; every meal beeps, places new food and adds a segment.
void CheckFood();

// New food from GameRandom for a world of width x height units.
void PlaceFood(int32_t width, int32_t height);

// The game's own generator: fixed start, never reseeded, 0..32767.
int32_t GameRandom();
