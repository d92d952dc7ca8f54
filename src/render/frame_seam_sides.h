// What both sides of the frame's seam share as they ready the pictures: which slots there are
// and the largest texture the GL takes. Only the seam's sides include this.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>

#include "picture_decode.h"
#include "render.h"

inline bool KnownSlot(PictureSlot slot) {
  return slot == PanelPicture || slot == PlayfieldPicture;
}

// Without a current context the query answers nothing; the decoder's own cap then stands.
inline int32_t LargestTextureSide() {
  GLint side = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
  return side > 0 ? std::min<int32_t>(side, kPictureMaxSide) : kPictureMaxSide;
}
