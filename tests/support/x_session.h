// A private X server and the driver's own connection to it: it finds the game's window, types on
// it with XTest, counts the bells the game rings, grabs its pixels, resizes and closes it.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "frame.h"
#include "xvfb_server.h"

class XSession {
 public:
  XSession() = default;
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // Starts the server with a screen of this size, connects and starts listening for XKB bell
  // notifications, so start it before the game or its first bells are lost. On failure returns
  // false and leaves the reason in error().
  bool Start(int screenWidth, int screenHeight);
  // The connection goes before its server does: Xlib ends the process on a lost connection.
  void Close();
  // What a program that is to show its window here takes as DISPLAY.
  const std::string& display() const { return server_.display(); }

  // Bells rung on this server since Start or the last ForgetBells.
  int Bells();
  void ForgetBells();

  // The top-level window with this WM_NAME, once it is viewable; None after timeoutMs.
  Window WaitForWindow(const std::string& title, int timeoutMs);
  bool Size(Window window, int* width, int* height);
  // Where the window stands on the screen; without a window manager, where the game asked.
  bool Position(Window window, int* x, int* y);

  // With no window manager keys go to the focus: put the pointer in the window and focus it.
  void Focus(Window window);
  // One press and release of the key, delivered before this returns.
  void Tap(unsigned long keysym);

  // The window's pixels; an empty frame when the server refuses (window gone or off screen).
  Frame Grab(Window window);

  void Resize(Window window, int width, int height);
  // What a window manager sends when the user closes the window: WM_DELETE_WINDOW.
  void RequestClose(Window window);

  const std::string& error() const { return error_; }

 private:
  void DrainEvents();

  XvfbServer server_;
  Display* display_ = nullptr;
  int xkbEventBase_ = 0;
  int bells_ = 0;
  std::string error_;
};
