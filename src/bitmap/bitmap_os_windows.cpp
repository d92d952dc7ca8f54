// The loader's file opening and large blocks on Windows. Large pixel arrays get no placement of
// their own here: they load as fast as ordinary blocks allow.
#include "bitmap_os.h"

// Aligned blocks would need _aligned_free, and the caller releases every block with free(): the
// large-page placement stays a Linux gain and large pixel arrays take ordinary blocks here.
unsigned char* AllocateLargeBlock(size_t) {
  return nullptr;
}

// No file in a folder can make a Windows open wait for a writer; binary mode keeps CR LF bytes
// in the pixels as they are.
std::FILE* OpenBitmapForReading(const char* fileName) {
  return std::fopen(fileName, "rb");
}
