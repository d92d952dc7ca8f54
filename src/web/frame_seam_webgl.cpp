// The browser's side of the frame's seam, on WebGL 1 through emscripten's GL emulation: no
// GL_POLYGON, no bitmap fonts, no default texture, no blue-green-red uploads. Each picture gets a
// texture of its own, uploaded once as red-green-blue rows; the texts come from the texture font.
#include <GL/gl.h>

#include <cstdint>

#include "frame_seam.h"
#include "frame_seam_sides.h"
#include "picture_decode.h"
#include "texture_font.h"

namespace {

struct ReadyPicture {
  GLuint texture = 0;
  // The blocks the picture was readied from: the frame must hand over exactly these.
  const BitmapInfo* info = nullptr;
  const unsigned char* pixels = nullptr;
};

ReadyPicture ready[2];

bool PowerOfTwo(int32_t side) {
  return side > 0 && (side & (side - 1)) == 0;
}

}  // namespace

// A fan from the first corner fills the same convex four-cornered shape as the desktop's polygon.
void BeginFourCorners() {
  glBegin(GL_TRIANGLE_FAN);
}

// Each picture's texture keeps the parameters it was made with.
void SetPictureParameters() {}

bool PreparePicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels,
                    const BitmapSizes& sizes) {
  if (!KnownSlot(slot)) return false;
  ReadyPicture& picture = ready[slot];
  if (picture.texture != 0) glDeleteTextures(1, &picture.texture);
  picture = ReadyPicture();
  if (info == nullptr || pixels == nullptr) return false;
  DecodedPicture decoded;
  if (!DecodePicture(reinterpret_cast<const unsigned char*>(info), sizes.infoSize, pixels,
                     sizes.pixelSize, &decoded, PixelLayout::kBottomUpRgbPacked)) {
    return false;
  }
  const int32_t largest = LargestTextureSide();
  if (decoded.width > largest || decoded.height > largest) return false;

  while (glGetError() != GL_NO_ERROR) {
  }
  glGenTextures(1, &picture.texture);
  glBindTexture(GL_TEXTURE_2D, picture.texture);
  // WebGL 1 samples a picture whose sides aren't powers of two as black unless it is clamped;
  // a power-of-two picture repeats, as on the desktop.
  const GLint wrap =
      PowerOfTwo(decoded.width) && PowerOfTwo(decoded.height) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, decoded.width, decoded.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               decoded.pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &picture.texture);
    picture = ReadyPicture();
    return false;
  }
  picture.info = info;
  picture.pixels = pixels;
  return true;
}

bool UploadPicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels) {
  if (!KnownSlot(slot)) return false;
  const ReadyPicture& picture = ready[slot];
  if (picture.texture == 0 || info != picture.info || pixels != picture.pixels) return false;
  glBindTexture(GL_TEXTURE_2D, picture.texture);
  return true;
}

void DrawBitmapText(GLint x, GLint y, TextFont font, const char* text) {
  DrawTextureText(x, y, font, text);
}
