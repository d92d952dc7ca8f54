// Bitmap text from a texture: each glyph a quad of whole pixels at the place glBitmap would fill,
// its texels copied one to one, the empty ones discarded by the alpha test so that they neither
// colour a pixel nor claim its depth.
#include "texture_font.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kAtlasWidth = 256;

struct AtlasSpot {
  int x = 0, y = 0;  // lower-left texel of the glyph's box
};

struct Atlas {
  GLuint texture = 0;
  int height = 0;
  AtlasSpot spots[2][256];
};

Atlas atlas;
int textScale = 1;

const TextureFontData& FontData(TextFont font) {
  return font == TextFont::Helvetica18 ? kHelvetica18Font : kHelvetica12Font;
}

int FontIndex(TextFont font) {
  return font == TextFont::Helvetica18 ? 1 : 0;
}

// Both fonts on one white texture whose alpha holds the glyphs' pixels, shelf by shelf, a texel
// of space around every glyph so that nothing bleeds into a neighbour.
void MakeAtlas() {
  const TextFont fonts[2] = {TextFont::Helvetica12, TextFont::Helvetica18};
  int x = 1, y = 1, shelf = 0;
  for (TextFont font : fonts) {
    const TextureFontData& data = FontData(font);
    for (int code = 0; code < 256; ++code) {
      const FontGlyph& g = data.glyphs[code];
      if (x + g.width + 1 > kAtlasWidth) {
        x = 1;
        y += shelf + 1;
        shelf = 0;
      }
      atlas.spots[FontIndex(font)][code] = {x, y};
      x += g.width + 1;
      if (g.height > shelf) shelf = g.height;
    }
  }
  int height = 1;
  while (height < y + shelf + 1) height *= 2;
  atlas.height = height;

  std::vector<unsigned char> texels(static_cast<size_t>(kAtlasWidth) * height * 4, 0);
  for (size_t i = 0; i < texels.size(); i += 4) texels[i] = texels[i + 1] = texels[i + 2] = 255;
  for (TextFont font : fonts) {
    const TextureFontData& data = FontData(font);
    for (int code = 0; code < 256; ++code) {
      const FontGlyph& g = data.glyphs[code];
      const AtlasSpot& spot = atlas.spots[FontIndex(font)][code];
      for (int row = 0; row < g.height; ++row) {
        uint32_t bits = data.rows[g.firstRow + row];
        int texelY = spot.y + g.height - 1 - row;  // rows come top first
        for (int col = 0; col < g.width; ++col) {
          if (((bits >> (g.width - 1 - col)) & 1u) == 0) continue;
          texels[(static_cast<size_t>(texelY) * kAtlasWidth + spot.x + col) * 4 + 3] = 255;
        }
      }
    }
  }
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  glGenTextures(1, &atlas.texture);
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kAtlasWidth, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               texels.data());
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

// (x, y, 0, 1) through the model-view and projection matrices and the viewport, in single
// precision as the GL does it for a raster position. False when the point lies outside the clip
// volume: the raster position is then invalid and bitmaps draw nothing.
bool WindowPosition(GLint x, GLint y, const GLint viewport[4], float* wx, float* wy, float* z) {
  GLfloat model[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, model);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  const float in[4] = {static_cast<float>(x), static_cast<float>(y), 0.0f, 1.0f};
  float eye[4], clip[4];
  for (int r = 0; r < 4; ++r) {
    eye[r] = model[r] * in[0] + model[4 + r] * in[1] + model[8 + r] * in[2] + model[12 + r] * in[3];
  }
  for (int r = 0; r < 4; ++r) {
    clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
              projection[12 + r] * eye[3];
  }
  for (int r = 0; r < 3; ++r) {
    if (clip[r] < -clip[3] || clip[r] > clip[3]) return false;
  }
  const float nx = clip[0] / clip[3], ny = clip[1] / clip[3];
  *z = clip[2] / clip[3];
  // Scale and offset as the GL keeps its viewport mapping, so the sums round alike.
  const float halfWidth = viewport[2] * 0.5f, halfHeight = viewport[3] * 0.5f;
  *wx = nx * halfWidth + (viewport[0] + halfWidth);
  *wy = ny * halfHeight + (viewport[1] + halfHeight);
  return true;
}

}  // namespace

void SetTextureTextScale(int scale) {
  textScale = scale < 1 ? 1 : scale;
}

void DrawTextureText(GLint x, GLint y, TextFont font, const char* text) {
  if (text == nullptr || *text == '\0') return;
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  float wx, wy, depthZ;
  if (!WindowPosition(x, y, viewport, &wx, &wy, &depthZ)) return;
  if (atlas.texture == 0) MakeAtlas();

  // Whole pixels from here on: a glyph's box starts at the floor of the raster position, which
  // the GL takes with a small allowance so that a position a rounding error short of a pixel
  // edge lands on that edge.
  constexpr float kAllowance = 0.0001f;
  const int penY = static_cast<int>(std::floor(wy + kAllowance));
  int penX = static_cast<int>(std::floor(wx + kAllowance));

  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  const bool textured = glIsEnabled(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // Window pixels, with the window depth of the raster position: near 1 and far -1 leave z as is.
  glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], 1.0,
          -1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
  glEnable(GL_TEXTURE_2D);
  glAlphaFunc(GL_GREATER, 0.5f);
  glEnable(GL_ALPHA_TEST);

  const TextureFontData& data = FontData(font);
  const AtlasSpot* spots = atlas.spots[FontIndex(font)];
  const float sx = 1.0f / kAtlasWidth, sy = 1.0f / atlas.height;
  const int k = textScale;
  glBegin(GL_QUADS);
  for (const char* c = text; *c != '\0'; ++c) {
    const unsigned char code = static_cast<unsigned char>(*c);
    const FontGlyph& g = data.glyphs[code];
    if (g.width > 0 && g.height > 0) {
      const float x0 = static_cast<float>(penX + g.left * k), x1 = x0 + g.width * k;
      const float y0 = static_cast<float>(penY + g.bottom * k), y1 = y0 + g.height * k;
      const float s0 = spots[code].x * sx, s1 = (spots[code].x + g.width) * sx;
      const float t0 = spots[code].y * sy, t1 = (spots[code].y + g.height) * sy;
      glTexCoord2f(s0, t0);
      glVertex3f(x0, y0, depthZ);
      glTexCoord2f(s1, t0);
      glVertex3f(x1, y0, depthZ);
      glTexCoord2f(s1, t1);
      glVertex3f(x1, y1, depthZ);
      glTexCoord2f(s0, t1);
      glVertex3f(x0, y1, depthZ);
    }
    penX += g.advance * k;
  }
  glEnd();

  glDisable(GL_ALPHA_TEST);
  if (!textured) glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
