// The start-up reference: a bare freeglut program that asks for its level like the game does,
// then opens a window of the game's size and mode and draws one cleared frame. Whatever the
// game takes beyond this is its own start-up cost.
#include <GL/freeglut.h>

#include <cstdio>

#include "start_game.h"

namespace {

void DrawClearedFrame() {
  glClearColor(0.0f, 0.0f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glutSwapBuffers();
}

}  // namespace

int main(int argc, char** argv) {
  std::fputs("Level :", stdout);
  std::fflush(stdout);
  int level = 0;
  // Only the wait for the line matters; whatever was typed is not used.
  if (std::scanf("%d", &level) != 1) level = 0;

  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(kStartWindowWidth, kStartWindowHeight);
  glutCreateWindow("startup reference");
  glutDisplayFunc(DrawClearedFrame);
  glutMainLoop();
  return 0;
}
