// Placeholder frame until the real one lands.
#include <GL/freeglut.h>

#include "render.h"

bool PreparePicture(PictureSlot, const BitmapInfo*, const unsigned char*, const BitmapSizes&) {
  return true;
}

void OnDisplay() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glutSwapBuffers();
}
