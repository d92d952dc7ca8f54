// The start-up sequence both the desktop and the browser run once the level is typed.
#include "start_game.h"

#include <GL/glut.h>

#include <iostream>

#include "bitmap.h"
#include "console.h"
#include "game_state.h"
#include "render.h"
#include "special_keys.h"
#include "tick_pacer.h"
#include "window.h"

static_assert(GLUT_KEY_LEFT == KeyLeft && GLUT_KEY_UP == KeyUp && GLUT_KEY_RIGHT == KeyRight &&
                  GLUT_KEY_DOWN == KeyDown && GLUT_KEY_F1 == KeyF1,
              "the rules name GLUT's special-key codes without its header");

namespace {

// Loads one picture into the record's slots and readies it for its strip; says on the console
// whether it will be shown.
void LoadPicture(const char* fileName, const char* successText, PictureSlot slot, BitmapInfo** info,
                 unsigned char** pixels) {
  BitmapSizes sizes{};
  *pixels = LoadBitmapFileSized(fileName, info, &sizes);
  bool shown = *pixels != nullptr && PreparePicture(slot, *info, *pixels, sizes);
  WriteLoadingReport(std::cout, fileName, successText, shown);
}

// What every start does before the window: the level, its pace and the head's start.
void SetUpGame(int32_t level) {
  GameState.level = level;
  GameState.tickInterval = TickIntervalForLevel(GameState.level);
  GameState.edgeStep = GameState.stepX;
  PlaceHeadAtStart();
}

// What every start does once its window is there, up to the event loop.
void PlayInWindow() {
  glutReshapeFunc(OnReshape);
  glutDisplayFunc(OnDisplay);
  StartTicking(33);
  glutSpecialFunc(OnSpecialKey);

  LoadPicture("sky.bmp", "> Successful!", PanelPicture, &GameState.skyInfo, &GameState.skyPixels);
  LoadPicture("background.bmp", "> successful!", PlayfieldPicture, &GameState.backgroundInfo,
              &GameState.backgroundPixels);

  InitGraphics();
  glutMainLoop();
}

}  // namespace

void StartGame(int32_t level, int* argc, char** argv) {
  SetUpGame(level);

  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  WriteMipmapLine(std::cout);

  glutInitWindowPosition(50, 50);
  glutInitWindowSize(kStartWindowWidth, kStartWindowHeight);
  glutCreateWindow("Velmorak Revir - Brevane software organisation");

  PlayInWindow();
}

// GLUT can't be initialised twice nor its window opened again (the page's GLUT would hear every
// key twice), so the window stays and is only brought back to the size a new one opens at.
// Everything else starts over, the pictures read again from their files.
void StartAnotherGame(int32_t level) {
  ReleaseBitmapInfo(GameState.skyInfo);
  ReleaseBitmapPixels(GameState.skyPixels);
  ReleaseBitmapInfo(GameState.backgroundInfo);
  ReleaseBitmapPixels(GameState.backgroundPixels);
  ForgetGame();
  SetUpGame(level);

  WriteMipmapLine(std::cout);
  glutReshapeWindow(kStartWindowWidth, kStartWindowHeight);

  PlayInWindow();
}
