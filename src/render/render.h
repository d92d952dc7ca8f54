// The frame: serpent, food, the two textured strips and the panel texts.
#pragma once

#include "bitmap.h"

// Which strip a picture textures.
enum PictureSlot { PanelPicture, PlayfieldPicture };

// Readies a loaded image for the frame, once, at start-up, with the window's GL context current.
// Returns false when the picture can't be shown safely; its strip is then drawn untextured for
// the whole run. A slot never prepared is untextured too.
bool PreparePicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels,
                    const BitmapSizes& sizes);

// Display callback: draws the whole frame from GameState and swaps the buffers.
void OnDisplay();
