// Writes captured frames as PNG files so a person can look at what a test saw.
#pragma once

#include <string>
#include <vector>

// rgb holds width x height pixels, 3 bytes each, top row first. Returns false on any failure.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb);
