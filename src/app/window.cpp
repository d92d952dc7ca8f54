// Projection and fixed graphics state of the one window.
#include "window.h"

#include <GL/gl.h>

#include "game_state.h"

void WorldSizeForWindow(int32_t width, int32_t height, float* worldWidth, float* worldHeight) {
  if (height < 1) height = 1;
  if (width < 1) width = 1;
  if (width <= height) {
    *worldWidth = 250.0f;
    *worldHeight = static_cast<float>(static_cast<double>(height) * 250.0 / width);
  } else {
    *worldWidth = static_cast<float>(static_cast<double>(width) * 250.0 / height);
    *worldHeight = 250.0f;
  }
}

void OnReshape(int32_t width, int32_t height) {
  if (height < 1) height = 1;
  if (width < 1) width = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  WorldSizeForWindow(width, height, &GameState.worldWidth, &GameState.worldHeight);
  // near 1, far -1: window depth then rises with z, so the squares at z 0 stay in front of the
  // strips at z 0.1 although the strips are drawn after them.
  glOrtho(0.0, GameState.worldWidth, 0.0, GameState.worldHeight, 1.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void InitGraphics() {
  glClearColor(0.0f, 0.0f, 0.3f, 1.0f);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DEPTH_TEST);
  glFrontFace(GL_CCW);
}
