// Entry of the hardening runs: gtest's own flags, then where the game, its pictures, the corpus
// and valgrind are.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "hardening_run.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  HardeningConfig& config = Config();
  const struct {
    const char* name;
    std::string* value;
  } options[] = {{"--game=", &config.game},
                 {"--pictures=", &config.pictures},
                 {"--frames=", &config.frames},
                 {"--corpus=", &config.corpus},
                 {"--valgrind=", &config.valgrind},
                 {"--suppressions=", &config.suppressions},
                 {"--source-root=", &config.sourceRoot}};
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool known = false;
    for (const auto& option : options) {
      if (arg.rfind(option.name, 0) != 0) continue;
      *option.value = arg.substr(std::strlen(option.name));
      known = true;
    }
    if (!known) {
      std::cerr << "unknown argument " << arg
                << "\nusage: velmorak_hardening [gtest flags] --game=BINARY --pictures=DIR "
                   "[--frames=DIR] [--corpus=DIR] [--valgrind=PROGRAM --suppressions=FILE "
                   "--source-root=DIR]\n";
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
