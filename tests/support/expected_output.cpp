// Console and score-file texts of the game, byte for byte.
#include "expected_output.h"

#include "velmorak_version.h"

std::string BannerAndPrompt() {
  return "Velmorak version " VELMORAK_VERSION " console\n"
         "******************************\n"
         "level 1 = extremely slow\n"
         "level 5 = moderate speed\n"
         "level 8 = insanely fast\n\n"
         "Select Velmorak game level (1 to 8, default=5)\n"
         "Level :";
}

std::string StartOutput(bool picturesShown) {
  std::string text = BannerAndPrompt() + "\n> Mipmap level = GL_LINEAR\n";
  if (picturesShown) {
    text +=
        "> Loading bitmap sky.bmp ...\n> Successful!\n"
        "> Loading bitmap background.bmp ...\n> successful!\n";
  } else {
    text +=
        "> Loading bitmap sky.bmp ...\n"
        "> Could not use sky.bmp: its strip is drawn without a picture\n"
        "> Loading bitmap background.bmp ...\n"
        "> Could not use background.bmp: its strip is drawn without a picture\n";
  }
  return text;
}

std::string ScoreReport(int score) {
  return "\n\n=========================\nYour score is " + std::to_string(score) +
         "\nGame Over\n\n";
}

std::string ScoreRecord(int score, int level) {
  return "You score is : " + std::to_string(score) + " at level " + std::to_string(level) + "\n";
}

#ifdef VELMORAK_CRLF
const char* const kBuiltLineEnd = "\r\n";
#else
const char* const kBuiltLineEnd = "\n";
#endif

std::string WithLineEnd(const std::string& text, const std::string& lineEnd) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += lineEnd;
    } else {
      out += c;
    }
  }
  return out;
}
