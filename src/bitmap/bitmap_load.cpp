// Placeholder loader until the real one lands.
#include "bitmap.h"

#include <cstdlib>

unsigned char* LoadBitmapStream(std::FILE*, BitmapInfo**, BitmapSizes*) { return nullptr; }
unsigned char* LoadBitmapFileSized(const char*, BitmapInfo**, BitmapSizes*) { return nullptr; }
unsigned char* LoadBitmapFile(const char* fileName, BitmapInfo** info) {
  return LoadBitmapFileSized(fileName, info, nullptr);
}
void ReleaseBitmapInfo(BitmapInfo* info) { std::free(info); }
void ReleaseBitmapPixels(unsigned char* pixels) { std::free(pixels); }
