// Xlib, XTest and XKB on the driver's side of the test server.
#include "x_session.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace {

// A refused request (a grab of a window that has just gone, say) must not end the driver the
// way Xlib's default handler does; the caller sees an empty result instead.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}

std::string WindowName(Display* display, Window window) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) == 0 || name == nullptr) return {};
  std::string text(name);
  XFree(name);
  return text;
}

int ShiftOf(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

}  // namespace

XSession::~XSession() {
  Close();
}

bool XSession::Start(int screenWidth, int screenHeight) {
  if (!server_.Start(screenWidth, screenHeight)) {
    error_ = server_.error();
    return false;
  }
  XSetErrorHandler(IgnoreError);
  display_ = XOpenDisplay(display().c_str());
  if (display_ == nullptr) {
    error_ = "cannot connect to X server " + display();
    return false;
  }
  int opcode = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (!XkbQueryExtension(display_, &opcode, &xkbEventBase_, &errorBase, &major, &minor)) {
    error_ = "the X server has no XKB extension";
    return false;
  }
  int eventBase = 0;
  if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
    error_ = "the X server has no XTEST extension";
    return false;
  }
  XkbSelectEvents(display_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
  XSync(display_, False);
  return true;
}

void XSession::Close() {
  if (display_ != nullptr) XCloseDisplay(display_);
  display_ = nullptr;
  server_.Stop();
}

void XSession::DrainEvents() {
  if (display_ == nullptr) return;
  XSync(display_, False);
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == xkbEventBase_ &&
        reinterpret_cast<XkbAnyEvent*>(&event)->xkb_type == XkbBellNotify) {
      ++bells_;
    }
  }
}

int XSession::Bells() {
  DrainEvents();
  return bells_;
}

void XSession::ForgetBells() {
  DrainEvents();
  bells_ = 0;
}

Window XSession::WaitForWindow(const std::string& title, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    Window root = DefaultRootWindow(display_), parent = None, *children = nullptr;
    unsigned int count = 0;
    Window found = None;
    if (XQueryTree(display_, root, &root, &parent, &children, &count) != 0) {
      for (unsigned int i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (WindowName(display_, children[i]) == title &&
            XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable) {
          found = children[i];
        }
      }
      if (children != nullptr) XFree(children);
    }
    if (found != None) return found;
    usleep(10000);
  } while (std::chrono::steady_clock::now() < deadline);
  return None;
}

bool XSession::Size(Window window, int* width, int* height) {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

bool XSession::Position(Window window, int* x, int* y) {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
  *x = attributes.x;
  *y = attributes.y;
  return true;
}

void XSession::Focus(Window window) {
  int width = 0, height = 0;
  if (!Size(window, &width, &height)) return;
  XWarpPointer(display_, None, window, 0, 0, 0, 0, width / 2, height / 2);
  XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
  XSync(display_, False);
}

void XSession::Tap(unsigned long keysym) {
  KeyCode code = XKeysymToKeycode(display_, keysym);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  XSync(display_, False);
}

Frame XSession::Grab(Window window) {
  Frame frame;
  int width = 0, height = 0;
  if (!Size(window, &width, &height)) return frame;
  XImage* image = XGetImage(display_, window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return frame;
  const int redShift = ShiftOf(image->red_mask);
  const int greenShift = ShiftOf(image->green_mask);
  const int blueShift = ShiftOf(image->blue_mask);
  frame.width = width;
  frame.height = height;
  frame.rgb.resize(static_cast<size_t>(width) * height * 3);
  unsigned char* out = frame.rgb.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned long pixel = XGetPixel(image, x, y);
      *out++ = static_cast<unsigned char>((pixel & image->red_mask) >> redShift);
      *out++ = static_cast<unsigned char>((pixel & image->green_mask) >> greenShift);
      *out++ = static_cast<unsigned char>((pixel & image->blue_mask) >> blueShift);
    }
  }
  XDestroyImage(image);
  return frame;
}

void XSession::Resize(Window window, int width, int height) {
  XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(display_, False);
}

void XSession::RequestClose(Window window) {
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XSync(display_, False);
}
