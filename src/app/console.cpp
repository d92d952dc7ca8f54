// Start-up's console texts, kept apart from the window so they can be checked byte for byte.
#include "console.h"

#include <istream>
#include <ostream>

#include "velmorak_version.h"

void WriteLevelPrompt(std::ostream& out) {
  out << "Velmorak version " VELMORAK_VERSION " console\n" << std::flush;
  out << "******************************\n" << std::flush;
  out << "level 1 = extremely slow\n" << std::flush;
  out << "level 5 = moderate speed\n" << std::flush;
  out << "level 8 = insanely fast\n\n" << std::flush;
  out << "Select Velmorak game level (1 to 8, default=5)\n" << std::flush;
  out << "Level :" << std::flush;
}

int32_t ReadLevel(std::istream& in) {
  // A failed extraction may still write 0 or a clamped value into its target; the level must
  // stay 0 then, so read into a temporary.
  int32_t typed = 0;
  if (in >> typed) return typed;
  return 0;
}

int32_t RunLevelDialogue(std::istream& in, std::ostream& out) {
  WriteLevelPrompt(out);
  return ReadLevel(in);
}

int32_t TickIntervalForLevel(int32_t level) {
  static const int32_t kIntervals[] = {220, 180, 120, 100, 80, 60, 30, 10};
  if (level < 1 || level > 8) return 80;  // level 5, the default the prompt announces
  return kIntervals[level - 1];
}

void WriteMipmapLine(std::ostream& out) {
  out << "\n> Mipmap level = GL_LINEAR" << std::endl;
}

void WriteLoadingReport(std::ostream& out, const char* fileName, const char* successText,
                        bool shown) {
  out << "> Loading bitmap " << fileName << " ...\n";
  if (shown) {
    out << successText << std::endl;
  } else {
    out << "> Could not use " << fileName << ": its strip is drawn without a picture" << std::endl;
  }
}
