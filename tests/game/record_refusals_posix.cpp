// Records refused the POSIX way.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "record_refusals.h"

std::vector<RefusalCase> PlatformRefusals() {
  return {
      {"read_only_folder",
       [] {
         chmod(".", 0555);
         const bool refused = !CanOpenForWriting("probe");
         std::remove("probe");
         return refused;
       },
       nullptr},
      // Nothing can be created in /proc, whoever asks.
      {"folder_that_takes_no_files",
       [] { return chdir("/proc/self") == 0 && !CanOpenForWriting("p"); }, nullptr},
      // Opens, but every write fails with "no space".
      {"full_disk", [] { return symlink("/dev/full", "User_score.txt") == 0; }, nullptr},
  };
}
