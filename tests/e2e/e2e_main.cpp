// Entry of the end-to-end driver: gtest's own flags, then where the game, its pictures and the
// grabbed frames are.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "game_run.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) { return arg.substr(std::strlen(name)); };
    if (arg.rfind("--game=", 0) == 0) {
      Config().game = value("--game=");
    } else if (arg.rfind("--pictures=", 0) == 0) {
      Config().pictures = value("--pictures=");
    } else if (arg.rfind("--frames=", 0) == 0) {
      Config().frames = value("--frames=");
    } else if (arg.rfind("--wine=", 0) == 0) {
      Config().wine = value("--wine=");
    } else {
      std::cerr << "unknown argument " << arg
                << "\nusage: velmorak_e2e [gtest flags] --game=BINARY --pictures=DIR "
                   "[--frames=DIR] [--wine=RUNNER]\n";
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
