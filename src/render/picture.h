// The two pictures the strips wear: readied once at start-up, handed to the GL at every frame.
#pragma once

#include "bitmap.h"
#include "render.h"

// Loads the slot's picture into the default texture's level 0, provided info and pixels are the
// blocks that PreparePicture accepted for it. Returns false, touching nothing, when the slot has
// no picture to show; the strip is then drawn untextured.
bool UploadPicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels);
