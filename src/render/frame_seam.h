// Where the frame meets a GL that may not be the desktop's. The frame itself is one piece of code;
// the few calls that WebGL can't make the desktop's way go through here. Each front end brings its
// side: the desktop's (src/desktop/frame_seam_glut.cpp and picture.cpp, the GL 1.1 and GLUT calls
// the frame has always made) or the page's (src/web/frame_seam_webgl.cpp). Neither side keeps
// anything from frame to frame except the readied pictures and, on the web, the font's texture.
#pragma once

#include <GL/gl.h>

#include "bitmap.h"
#include "render.h"

// GLUT's two bitmap fonts the panel writes with.
enum class TextFont { Helvetica12, Helvetica18 };

// Opens one four-cornered polygon, a square or a strip; the caller gives its corners
// counter-clockwise and closes it with glEnd.
void BeginFourCorners();

// The wrap and filter parameters the pictures are sampled with, before the first picture of a
// frame is used.
void SetPictureParameters();

// Makes the slot's picture the one that texturing shows, provided info and pixels are the blocks
// that PreparePicture accepted for it. Returns false, touching nothing, when the slot has no
// picture to show; the strip is then drawn untextured.
bool UploadPicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels);

// Draws text as bitmap characters from raster position (x, y), in the current colour, each
// character moving the position on by its own width. As with the GL's raster position, the
// colour is the one current when this is called, so it is set first.
void DrawBitmapText(GLint x, GLint y, TextFont font, const char* text);
