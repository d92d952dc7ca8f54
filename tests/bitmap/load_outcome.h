// The three ways a load can end, and the check of a load's blocks against its file's bytes.
#pragma once

#include <cstdint>

#include "bitmap.h"
#include "bitmap_files.h"

enum class Outcome { Loads, FailsInfoUntouched, FailsInfoNull };

// What the caller's info reference holds before a load, to see whether a failure touched it.
extern BitmapInfo untouchedSentinel;

// Checks the result of a load of file: on success the info block is file bytes 14..bfOffBits-1
// and the pixels the next pixelSize bytes. Releases whatever the load returned.
void ExpectLoadOutcome(const Bytes& file, Outcome outcome, uint32_t pixelSize,
                       unsigned char* pixels, BitmapInfo* info, const BitmapSizes& sizes);
