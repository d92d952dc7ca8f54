// The frame: squares first, then the tinted strips behind them, then the panel texts on top.
#include <GL/glut.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "frame_seam.h"
#include "game_state.h"
#include "render.h"

namespace {

struct Rgb {
  GLubyte r, g, b;
};

constexpr Rgb kSegmentLeft{255, 120, 0};
constexpr Rgb kSegmentRight{255, 228, 176};
constexpr Rgb kFoodLeft{255, 0, 0};
constexpr Rgb kFoodRight{255, 173, 173};
constexpr Rgb kFieldYellow{254, 233, 0};
constexpr Rgb kFieldDark{44, 44, 42};
constexpr Rgb kPanelPink{255, 140, 140};
constexpr Rgb kTextYellow{255, 255, 0};

// Squares at z 0 and strips at z 0.1: with the window's far-to-near depth range the squares win
// the depth test although the strips come after them.
constexpr GLfloat kSquareZ = 0.0f;
constexpr GLfloat kStripZ = 0.1f;

void SetColor(Rgb c) {
  glColor3ub(c.r, c.g, c.b);
}

// Smooth shading runs each square from its left edge colour to its right edge colour.
void DrawSquare(GLfloat x, GLfloat y, GLfloat side, Rgb left, Rgb right) {
  BeginFourCorners();
  SetColor(left);
  glVertex3f(x, y, kSquareZ);
  SetColor(right);
  glVertex3f(x + side, y, kSquareZ);
  SetColor(right);
  glVertex3f(x + side, y + side, kSquareZ);
  SetColor(left);
  glVertex3f(x, y + side, kSquareZ);
  glEnd();
}

// The head first: at equal depth the first square drawn keeps the pixel. The count is held to
// the arrays whatever the record says.
void DrawSerpent(GLfloat side) {
  int32_t count = std::clamp(GameState.segmentCount, 0, kMaxSegments);
  for (int32_t i = 0; i < count; ++i) {
    DrawSquare(GameState.segmentX[i], GameState.segmentY[i], side, kSegmentLeft, kSegmentRight);
  }
}

// The picture's bottom row along the strip's lower edge: a bottom-up bitmap shows upright.
void DrawPlayfieldStrip(GLfloat width, GLfloat border) {
  BeginFourCorners();
  SetColor(kFieldYellow);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, 0.0f, kStripZ);
  SetColor(kFieldDark);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(width, 0.0f, kStripZ);
  SetColor(kFieldYellow);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(width, border, kStripZ);
  SetColor(kFieldDark);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(0.0f, border, kStripZ);
  glEnd();
}

void DrawPanelStrip(GLfloat width, GLfloat border, GLfloat top) {
  BeginFourCorners();
  glColor3f(0.75f, 0.75f, 0.7f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, border, kStripZ);
  glColor3f(0.75f, 0.75f, 0.75f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(width, border, kStripZ);
  SetColor(kPanelPink);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(width, top, kStripZ);
  SetColor(kPanelPink);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(0.0f, top, kStripZ);
  glEnd();
}

// Texturing follows each strip's own picture, so a missing one shows its vertex colours alone.
// With both pictures present the calls are the plain sequence: upload, enable, strip, upload,
// strip, disable.
void DrawStrips(GLfloat width, GLfloat border, GLfloat top) {
  SetPictureParameters();
  bool playfield =
      UploadPicture(PlayfieldPicture, GameState.backgroundInfo, GameState.backgroundPixels);
  if (playfield) glEnable(GL_TEXTURE_2D);
  DrawPlayfieldStrip(width, border);
  bool panel = UploadPicture(PanelPicture, GameState.skyInfo, GameState.skyPixels);
  if (panel && !playfield) glEnable(GL_TEXTURE_2D);
  if (!panel && playfield) glDisable(GL_TEXTURE_2D);
  DrawPanelStrip(width, border, top);
  glDisable(GL_TEXTURE_2D);
}

// Toward zero, held inside int so that no world size can make the conversion undefined.
GLint Trunc(double v) {
  if (!(v > INT_MIN)) return INT_MIN;
  if (!(v < INT_MAX)) return INT_MAX;
  return static_cast<GLint>(v);
}

void DrawPanelTexts() {
  double h = GameState.worldHeight;
  SetColor(kTextYellow);
  DrawBitmapText(10, Trunc(h - 15.0), TextFont::Helvetica18, GameState.titleLabel);
  SetColor(kTextYellow);
  DrawBitmapText(150, Trunc(h - 30.0), TextFont::Helvetica12, GameState.pauseHintLabel);
  SetColor(kTextYellow);
  DrawBitmapText(10, Trunc(h - 30.0), TextFont::Helvetica12, GameState.scoreLabel);
  std::snprintf(GameState.scoreText, sizeof GameState.scoreText, "%d", GameState.segmentCount);
  DrawBitmapText(60, Trunc(h - 30.0), TextFont::Helvetica12, GameState.scoreText);
  DrawBitmapText(130, Trunc(h - 20.0), TextFont::Helvetica12, GameState.dedicationLabel);
}

// Tested against 1 each on its own: the phases never set both, and if they did "Paused" would
// simply cover "Game Over!".
void DrawStateTexts() {
  if (GameState.showGameOver == 1) {
    glColor3f(0.6f, 0.4f, 0.12f);
    DrawBitmapText(100, 130, TextFont::Helvetica18, GameState.gameOverLabel);
  }
  if (GameState.showPaused == 1) {
    glColor3f(0.6f, 0.4f, 0.12f);
    DrawBitmapText(100, 130, TextFont::Helvetica18, GameState.pausedLabel);
  }
}

}  // namespace

void DrawFrame() {
  GLfloat side = static_cast<GLfloat>(GameState.blockSize);
  GLfloat width = GameState.worldWidth;
  GLfloat top = GameState.worldHeight;
  GLfloat border = static_cast<GLfloat>(static_cast<double>(top) - GameState.panelHeight);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  DrawSerpent(side);
  DrawSquare(GameState.foodX, GameState.foodY, side, kFoodLeft, kFoodRight);
  DrawStrips(width, border, top);
  // Identity after the pop: the raster positions below are world coordinates.
  glPopMatrix();
  glLoadIdentity();
  DrawPanelTexts();
  DrawStateTexts();
}

void OnDisplay() {
  DrawFrame();
  glutSwapBuffers();
}
