// Preloaded into a program under test (LD_PRELOAD): notes when its first frame is on screen.
//
// It stands in for glXSwapBuffers, passes the call on to the real one and then waits for the X
// server to have handled everything sent so far (XSync), so the frame is in the window, not in
// a queue. At the first such return it writes the monotonic clock, in nanoseconds, to the file
// the variable VELMORAK_FIRST_SWAP_FILE names; the whole file appears at once (rename), so a
// reader polling for it never sees half a number. Later swaps pass straight through.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using SwapFunction = void (*)(Display*, GLXDrawable);

bool FirstSwapSeen = false;

void NoteFirstSwap() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const char* path = std::getenv("VELMORAK_FIRST_SWAP_FILE");
  if (path == nullptr || *path == '\0') return;
  char partial[4096];
  char text[64];
  int length = std::snprintf(text, sizeof text, "%lld\n",
                             static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  if (std::snprintf(partial, sizeof partial, "%s.partial", path) >=
      static_cast<int>(sizeof partial))
    return;
  int fd = open(partial, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  bool written = write(fd, text, static_cast<size_t>(length)) == length;
  written = close(fd) == 0 && written;
  if (written) rename(partial, path);
}

}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
  static SwapFunction real = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  if (real != nullptr) real(display, drawable);
  if (FirstSwapSeen) return;
  FirstSwapSeen = true;
  XSync(display, False);
  NoteFirstSwap();
}
