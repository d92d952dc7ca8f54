// Readying the loaded pictures for the GL, and their upload at every frame: the desktop side of
// the picture half of the frame's seam, on OpenGL 1.1 with GL_BGR_EXT (Linux's Mesa or vendor GL,
// Windows' opengl32). Pictures larger than the GL's textures can't be shown: their strip goes
// untextured.
#include <GL/gl.h>

#include "frame_seam.h"
#include "frame_seam_sides.h"
#include "picture_decode.h"

namespace {

struct PreparedPicture {
  bool ready = false;
  // The blocks the picture was checked against. The GL is only ever given these, at the size
  // they were checked with, so it can't read past a buffer whose length it never learns.
  const BitmapInfo* info = nullptr;
  const unsigned char* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  // Empty when the loaded pixels already have the GL's layout and go up unchanged; otherwise
  // the converted copy, kept for the whole run beside the loaded blocks.
  DecodedPicture decoded;
};

PreparedPicture prepared[2];

bool AcceptPicture(const BitmapInfo* info, const unsigned char* pixels, const BitmapSizes& sizes,
                   PreparedPicture* picture) {
  const auto* infoBytes = reinterpret_cast<const unsigned char*>(info);
  // What the GL reads with its unpack alignment of 4 must lie inside the loaded buffer; a plain
  // picture whose last row lacks its fill bytes goes through the converter instead.
  bool asLoaded = IsPlainBgrPicture(infoBytes, sizes.infoSize) &&
                  BgrRowLength(info->biWidth) * info->biHeight <= sizes.pixelSize;
  if (asLoaded) {
    picture->width = info->biWidth;
    picture->height = info->biHeight;
  } else {
    // The upload names GL_BGR_EXT, whichever way the picture got its rows.
    if (!DecodePicture(infoBytes, sizes.infoSize, pixels, sizes.pixelSize, &picture->decoded,
                       PixelLayout::kBottomUpBgrPadded)) {
      return false;
    }
    picture->width = picture->decoded.width;
    picture->height = picture->decoded.height;
  }
  int32_t side = LargestTextureSide();
  return picture->width <= side && picture->height <= side;
}

}  // namespace

bool PreparePicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels,
                    const BitmapSizes& sizes) {
  if (!KnownSlot(slot)) return false;
  PreparedPicture& picture = prepared[slot];
  picture = PreparedPicture();
  if (info == nullptr || pixels == nullptr || !AcceptPicture(info, pixels, sizes, &picture)) {
    picture = PreparedPicture();
    return false;
  }
  picture.ready = true;
  picture.info = info;
  picture.pixels = pixels;
  return true;
}

bool UploadPicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels) {
  if (!KnownSlot(slot)) return false;
  const PreparedPicture& picture = prepared[slot];
  if (!picture.ready || info != picture.info || pixels != picture.pixels) return false;
  if (picture.decoded.pixels.empty()) {
    // The header is the record's; a size changed since start-up was never checked.
    if (info->biWidth != picture.width || info->biHeight != picture.height) return false;
    glTexImage2D(GL_TEXTURE_2D, 0, 3, info->biWidth, info->biHeight, 0, GL_BGR_EXT,
                 GL_UNSIGNED_BYTE, pixels);
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.width, picture.height, 0, GL_BGR_EXT,
                 GL_UNSIGNED_BYTE, picture.decoded.pixels.data());
  }
  return true;
}
