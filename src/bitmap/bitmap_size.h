// The pixel-array size rule that the loader and the writer must agree on.
#pragma once

#include <cstdint>

#include "bitmap.h"

// The pixel-array size of a bitmap: biSizeImage when that is not 0, else the padded row length
// times |biHeight|. The format only defines sizes that fit a 32-bit signed number, so anything
// else (a negative width, a height of INT_MIN, an overflowing product, a biSizeImage above
// INT32_MAX) gives -1 and the caller refuses the bitmap.
int64_t BitmapPixelArraySize(const BitmapInfo& info);
