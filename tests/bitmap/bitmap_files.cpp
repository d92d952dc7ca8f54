// Builds small bitmap files for the tests.
#include "bitmap_files.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <iterator>
#include <stdexcept>

#include "files.h"

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
// Under AddressSanitizer any allocation above 64 MiB stops the tests: no test file backs such a
// size, so one can only come from trusting a header over the file.
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=64";
}
#endif

namespace {

void PutLittleEndian16(Bytes& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<unsigned char>(value);
  bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

}  // namespace

void PutLittleEndian32(Bytes& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLittleEndian32(const Bytes& bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= uint32_t{bytes[offset + i]} << (8 * i);
  return value;
}

uint16_t GetLittleEndian16(const Bytes& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

Bytes BuildBitmap(const BitmapFields& fields) {
  const size_t gap = fields.offBits > 54 ? fields.offBits - 54 : 0;
  Bytes bytes(54 + gap + fields.pixelBytes + fields.trailingBytes);
  for (size_t i = 14; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLittleEndian32(bytes, 2, static_cast<uint32_t>(bytes.size()));
  PutLittleEndian32(bytes, 6, 0);
  PutLittleEndian32(bytes, 10, fields.offBits);
  PutLittleEndian32(bytes, 14, fields.infoHeaderSize);
  PutLittleEndian32(bytes, 18, static_cast<uint32_t>(fields.width));
  PutLittleEndian32(bytes, 22, static_cast<uint32_t>(fields.height));
  PutLittleEndian16(bytes, 26, 1);
  PutLittleEndian16(bytes, 28, fields.bitCount);
  PutLittleEndian32(bytes, 30, fields.compression);
  PutLittleEndian32(bytes, 34, fields.sizeImage);
  PutLittleEndian32(bytes, 38, 2835);
  PutLittleEndian32(bytes, 42, 2835);
  PutLittleEndian32(bytes, 46, fields.clrUsed);
  PutLittleEndian32(bytes, 50, 0);
  return bytes;
}

Bytes ReadFileBytes(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) throw std::runtime_error("cannot read " + path);
  return Bytes(bytes.begin(), bytes.end());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  if (!WriteWholeFile(path, std::string(bytes.begin(), bytes.end()))) {
    throw std::runtime_error("cannot write " + path);
  }
}

#ifdef _WIN32
// The C runtime's descriptors: each open one has a system handle behind it.
int OpenDescriptorCount() {
  int count = 0;
  for (int fd = 0; fd < 8192; ++fd) count += _get_osfhandle(fd) != -1 ? 1 : 0;
  return count;
}

bool MakePipe(int ends[2]) {
  return _pipe(ends, 64 * 1024, _O_BINARY) == 0;
}

std::FILE* OpenMemoryStream(Bytes& bytes) {
  std::FILE* stream = std::tmpfile();
  if (stream == nullptr) return nullptr;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
    std::fclose(stream);
    return nullptr;
  }
  std::rewind(stream);
  return stream;
}
#else
int OpenDescriptorCount() {
  const fs::directory_iterator entries("/proc/self/fd");
  return static_cast<int>(std::distance(fs::begin(entries), fs::end(entries)));
}

bool MakePipe(int ends[2]) {
  return pipe(ends) == 0;
}

std::FILE* OpenMemoryStream(Bytes& bytes) {
  // fmemopen refuses a zero-length buffer: an empty stream is a one-byte one with its byte read.
  const bool empty = bytes.empty();
  if (empty) bytes.push_back(0);
  std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
  if (stream != nullptr && empty) std::fgetc(stream);
  return stream;
}
#endif
