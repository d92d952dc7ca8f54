// Records refused the Windows way.
#include <windows.h>

#include "record_refusals.h"

namespace {

HANDLE Holder = INVALID_HANDLE_VALUE;

}  // namespace

std::vector<RefusalCase> PlatformRefusals() {
  return {
      // Another program has the record open and shares it for reading only, as an editor or a
      // backup tool may: the game can neither empty nor write it.
      {"locked_by_another_program",
       [] {
         Holder = CreateFileA("User_score.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
         if (Holder == INVALID_HANDLE_VALUE) return false;
         DWORD written = 0;
         WriteFile(Holder, "old\r\n", 5, &written, nullptr);
         return written == 5;
       },
       "old\r\n",
       [] {
         CloseHandle(Holder);
         Holder = INVALID_HANDLE_VALUE;
       }},
  };
}
