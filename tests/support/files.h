// Whole files in and out, byte for byte.
#pragma once

#include <string>

// False when the file can't be opened or read.
bool ReadWholeFile(const std::string& path, std::string* bytes);
// The file's bytes, or "<missing>" when it can't be read: for comparing in an expectation.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
