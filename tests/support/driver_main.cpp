// Entry of the test programs that drive real programs (end to end, hardening, install): gtest's
// own flags, then where the things they test are, as --name=value.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "game_window_test.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  DriverConfig& config = Config();
  const struct {
    const char* name;
    std::string* value;
  } options[] = {{"--game=", &config.game},
                 {"--pictures=", &config.pictures},
                 {"--frames=", &config.frames},
                 {"--wine=", &config.wine},
                 {"--corpus=", &config.corpus},
                 {"--valgrind=", &config.valgrind},
                 {"--suppressions=", &config.suppressions},
                 {"--source-root=", &config.sourceRoot},
                 {"--cmake=", &config.cmake},
                 {"--build=", &config.build},
                 {"--setup=", &config.setup}};
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool known = false;
    for (const auto& option : options) {
      if (arg.rfind(option.name, 0) != 0) continue;
      *option.value = arg.substr(std::strlen(option.name));
      known = true;
    }
    if (!known) {
      std::cerr << "unknown argument " << arg << "\nusage: " << argv[0]
                << " [gtest flags] [--game=BINARY --pictures=DIR [--frames=DIR] [--wine=RUNNER]"
                   " [--corpus=DIR] [--valgrind=PROGRAM --suppressions=FILE --source-root=DIR]]"
                   " [--cmake=PROGRAM --build=DIR] [--setup=INSTALLER]\n";
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
