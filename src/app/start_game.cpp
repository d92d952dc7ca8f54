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

}  // namespace

void StartGame(int32_t level, int* argc, char** argv) {
  GameState.level = level;
  GameState.tickInterval = TickIntervalForLevel(GameState.level);
  GameState.edgeStep = GameState.stepX;
  PlaceHeadAtStart();

  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  WriteMipmapLine(std::cout);

  glutInitWindowPosition(50, 50);
  glutInitWindowSize(kStartWindowWidth, kStartWindowHeight);
  glutCreateWindow("Velmorak Revir - Brevane software organisation");

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
