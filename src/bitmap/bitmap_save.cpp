// Placeholder writer until the real one lands.
#include "bitmap.h"

int32_t SaveBitmapFile(const char*, const BitmapInfo*, const unsigned char*) { return -1; }
