// The desktop's expected console and record texts, for the page's scenarios in JavaScript: each
// argument names one ("start:shown", "start:refused", "prompt", "report:SCORE",
// "record:SCORE:LEVEL"), and the answer is one JSON object of them.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "expected_output.h"

namespace {

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = "{";
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    std::string text;
    int score = 0, level = 0;
    if (name == "prompt") {
      text = BannerAndPrompt();
    } else if (name == "start:shown" || name == "start:refused") {
      text = StartOutput(name == "start:shown");
    } else if (std::sscanf(name.c_str(), "report:%d", &score) == 1) {
      text = ScoreReport(score);
    } else if (std::sscanf(name.c_str(), "record:%d:%d", &score, &level) == 2) {
      text = ScoreRecord(score, level);
    } else {
      std::fprintf(stderr, "unknown text: %s\n", name.c_str());
      return 2;
    }
    out += (i > 1 ? "," : "") + Json(name) + ":" + Json(text);
  }
  std::printf("%s}\n", out.c_str());
  return 0;
}
