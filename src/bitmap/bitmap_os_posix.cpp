// The loader's file opening and large blocks on Linux and other POSIX systems (the page's
// emscripten file system too). Large pages are only asked for: a kernel without them, or one that
// declines, gives ordinary pages.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

#include "bitmap_os.h"

namespace {

// Filling a fresh buffer costs one page fault per 4 KiB page, and on a virtual machine a fault
// can take longer than copying the page from the file cache: a 48 MiB picture spent most of its
// load there. Buffers this large are aligned so that the kernel may back them with 2 MiB pages.
constexpr size_t kLargePage = 2 * 1024 * 1024;
constexpr size_t kLargeBlock = 2 * kLargePage;

}  // namespace

unsigned char* AllocateLargeBlock(size_t size) {
  if (size < kLargeBlock) return nullptr;
  void* block = nullptr;
  if (posix_memalign(&block, kLargePage, size) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
  // Only advice: where the kernel declines, the block is an ordinary one.
  madvise(block, size / kLargePage * kLargePage, MADV_HUGEPAGE);
#endif
  return static_cast<unsigned char*>(block);
}

// A plain open of a named pipe that nobody writes waits forever, and start-up with it. Opened
// without waiting, such a pipe reads as empty and the load fails like any short file; waiting
// comes back for the reads, so a pipe that is being fed is still read whole.
std::FILE* OpenBitmapForReading(const char* fileName) {
  int fd = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  int flags = fcntl(fd, F_GETFL);
  std::FILE* file = nullptr;
  if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) file = fdopen(fd, "rb");
  if (file == nullptr) close(fd);
  return file;
}
