// Xvfb started with -displayfd, so parallel tests never fight over a display number: it writes
// the number it took on its standard output.
#include "xvfb_server.h"

bool XvfbServer::Start(int screenWidth, int screenHeight, int timeoutMs) {
  ChildProcess::Command command;
  command.argv = {
      "Xvfb",      "-displayfd",
      "1",         "-screen",
      "0",         std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "x24",
      "-nolisten", "tcp",
      "-noreset",  "+extension",
      "GLX"};
  command.input = ChildProcess::Source::Null;
  command.errors = ChildProcess::Sink::Null;
  if (!process_.Start(command) || !process_.WaitForOutput("\n", timeoutMs)) {
    error_ = "Xvfb did not report a display (is the xvfb package installed?) " + process_.error();
    Stop();
    return false;
  }
  const std::string number = process_.Output();
  display_ = ":" + number.substr(0, number.find('\n'));
  return true;
}

void XvfbServer::Stop() {
  process_.Stop(2000);
  display_.clear();
}
