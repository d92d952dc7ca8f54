// Entry of the install tests: gtest's own flags, then the cmake to install with and the build
// tree to install from, or the Windows installer and the program that runs it under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "install_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--cmake=", 0) == 0) {
      Config().cmake = arg.substr(std::strlen("--cmake="));
    } else if (arg.rfind("--build=", 0) == 0) {
      Config().build = arg.substr(std::strlen("--build="));
    } else if (arg.rfind("--setup=", 0) == 0) {
      Config().setup = arg.substr(std::strlen("--setup="));
    } else if (arg.rfind("--wine=", 0) == 0) {
      Config().wine = arg.substr(std::strlen("--wine="));
    } else {
      std::cerr << "unknown argument " << arg
                << "\nusage: velmorak_install_tests [gtest flags] --cmake=PROGRAM --build=DIR\n"
                   "       velmorak_install_tests [gtest flags] --setup=INSTALLER --wine=RUNNER\n";
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
