// A private X server for tests that need a window: Xvfb on a display number it picks itself.
#pragma once

#include <string>

#include "child_process.h"

class XvfbServer {
 public:
  XvfbServer() = default;
  ~XvfbServer() { Stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Starts Xvfb with a 24-bit screen of the given size; waits at most timeoutMs for it to report
  // its display. On failure returns false and leaves the reason in error().
  bool Start(int screenWidth = 1024, int screenHeight = 768, int timeoutMs = 15000);

  // ":N", the value for DISPLAY or XOpenDisplay; empty before a successful Start.
  const std::string& display() const { return display_; }
  const std::string& error() const { return error_; }

  // Ends the server and waits for it.
  void Stop();

 private:
  ChildProcess process_;
  std::string display_;
  std::string error_;
};
