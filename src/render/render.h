// The frame: serpent, food, the two textured strips and the panel texts.
#pragma once

#include "bitmap.h"

// Which strip a picture textures.
enum PictureSlot { PanelPicture, PlayfieldPicture };

// Readies a loaded image for the frame, once, at start-up, with the window's GL context current.
// Pictures that aren't uncompressed 24-bit bottom-up bitmaps are converted once here; the blocks
// themselves stay as loaded. Returns false when the picture can't be shown safely (unreadable,
// its rows past the buffer, larger than the GL's textures); its strip is then drawn untextured
// for the whole run. A slot never prepared is untextured too.
bool PreparePicture(PictureSlot slot, const BitmapInfo* info, const unsigned char* pixels,
                    const BitmapSizes& sizes);

// The whole frame from GameState into the back buffer, without showing it: what OnDisplay draws,
// and what tests read back.
void DrawFrame();

// Display callback: draws the whole frame from GameState and swaps the buffers.
void OnDisplay();
