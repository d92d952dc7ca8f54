// What the loader asks of the operating system; one source file per system implements it.
#pragma once

#include <cstddef>
#include <cstdio>

// Opens fileName for reading in binary mode, or returns null; never waits for a writer.
std::FILE* OpenBitmapForReading(const char* fileName);

// A block of size bytes placed for fast filling, or null when size is too small to gain from it
// or the system declines; the caller then takes an ordinary block. Either kind is released with
// free(), so the info block and the pixel buffer stay releasable on their own.
unsigned char* AllocateLargeBlock(size_t size);
