// The desktop side of the frame's seam, on freeglut for Linux (X11) and Windows: GL 1.1 polygons
// and GLUT's bitmap fonts, the calls the frame has always made. Its pictures are picture.cpp.
#include <GL/glut.h>

#include "frame_seam.h"

void BeginFourCorners() {
  glBegin(GL_POLYGON);
}

void SetPictureParameters() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void DrawBitmapText(GLint x, GLint y, TextFont font, const char* text) {
  void* glutFont =
      font == TextFont::Helvetica18 ? GLUT_BITMAP_HELVETICA_18 : GLUT_BITMAP_HELVETICA_12;
  glRasterPos2i(x, y);
  if (text == nullptr) return;
  for (const char* c = text; *c != '\0'; ++c) {
    glutBitmapCharacter(glutFont, static_cast<unsigned char>(*c));
  }
}
