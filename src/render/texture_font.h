// The game's own copy of GLUT's two bitmap fonts, drawn from a texture: for GLs without bitmap
// drawing (WebGL). Text comes out pixel for pixel where GLUT's glutBitmapCharacter would put it:
// same glyphs, same raster position rules, same depth, and squares drawn before it stay in front.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "frame_seam.h"

// One glyph of a font, in pixels: the pen moves on by advance; the glyph's box starts left of the
// pen and bottom of the baseline (negative below it) and is width x height.
struct FontGlyph {
  int16_t advance, left, bottom, width, height;
  uint32_t firstRow;  // its rows in the font's row table, top row first, leftmost pixel highest
};

struct TextureFontData {
  const FontGlyph* glyphs;  // 256 entries by character code; width 0 where there is nothing
  const uint32_t* rows;
  int16_t ascent, descent;
};

// The generated tables (tools/make_texture_font.cpp).
extern const TextureFontData kHelvetica12Font;
extern const TextureFontData kHelvetica18Font;

// Draws text the way glRasterPos2i(x, y) followed by one glutBitmapCharacter per character
// would, with the current colour, matrices and viewport, and leaves the GL state as it found it.
// The font's texture is made on first use, with the context current.
void DrawTextureText(GLint x, GLint y, TextFont font, const char* text);

// Every glyph's pixel drawn as scale x scale window pixels from then on (the pen moving on as
// far), the raster position itself unchanged: for a window with scale pixels to each of the
// screen's own units (the page's canvas on a phone's screen), where text at 1 would be a third
// as tall at a ratio of 3. Below 1 counts as 1, GLUT's own size.
void SetTextureTextScale(int scale);
