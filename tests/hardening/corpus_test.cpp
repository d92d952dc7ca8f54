// Every picture of the BMP corpus as both of the game's pictures, played to the right wall at
// level 8: the console, the score record, the frame and the exit stay what they must be.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "expected_output.h"
#include "files.h"
#include "hardening_run.h"

namespace {

namespace fs = std::filesystem;

struct CorpusPart {
  const char* name;
  std::vector<const char*> folders;
  bool mustShow;  // "good" pictures are ones every BMP reader shows
};

// The OS/2 core header keeps its sides in 16-bit fields where the loader's size rule reads a
// 32-bit width, so the loader turns this good file down and its strips go bare: honest, if plain.
bool MayGoBare(const fs::path& file) {
  return file.filename() == "pal8os2.bmp";
}

std::ostream& operator<<(std::ostream& out, const CorpusPart& part) {
  return out << part.name;
}

std::string WallEnd() {
  return "window width :250\nCASE 1\n" + ScoreReport(1);
}

// Pixels where any channel of a differs from b by more than tolerance; with brighterOnly, only
// those where a is the brighter one.
int DifferingPixels(const Frame& a, const Frame& b, int tolerance, bool brighterOnly) {
  if (a.width != b.width || a.height != b.height) return a.width * a.height;
  int count = 0;
  for (size_t i = 0; i < a.rgb.size(); i += 3) {
    bool differs = false;
    for (size_t c = i; c < i + 3; ++c) {
      int delta = int{a.rgb[c]} - int{b.rgb[c]};
      differs |= brighterOnly ? delta > tolerance : std::abs(delta) > tolerance;
    }
    count += differs;
  }
  return count;
}

class Corpus : public HardeningTest, public ::testing::WithParamInterface<CorpusPart> {
 protected:
  // The game-over frame of a run without pictures: the same serpent, food and texts on the
  // bare strips. A refused picture must leave exactly this; a shown one can only darken it,
  // since the strips' colours multiply the picture.
  bool PlayUntextured(Frame* frame) {
    NewFolder(false);
    if (!Start({})) return false;
    if (!WaitForGameOver(1, frame)) return false;
    EXPECT_EQ(game().Output(), StartOutput(false) + WallEnd());
    EXPECT_EQ(CountPixels(*frame, kClearColour, 0), 0);
    SaveFrame(*frame, "untextured");
    CloseAndExpectCleanExit();
    ExpectCleanStderr();
    EndRun();
    return !HasFailure();
  }

  // Plays one picture; returns "shown" or "refused" as the console said, or what went wrong.
  std::string PlayWithPicture(const fs::path& file, const Frame& untextured) {
    std::string bytes;
    if (!ReadWholeFile(file, &bytes)) return "unreadable corpus file";
    NewFolder(false);
    if (!folder().WriteFile("sky.bmp", bytes) || !folder().WriteFile("background.bmp", bytes)) {
      return "cannot fill the play folder";
    }
    Frame over;
    if (!Start({}) || !WaitForGameOver(1, &over)) return "no game over";
    const std::string output = game().Output();
    const bool shown = output == StartOutput(true) + WallEnd();
    EXPECT_TRUE(shown || output == StartOutput(false) + WallEnd()) << output;
    EXPECT_EQ(ScoreFile(), ScoreRecord(1, 8));

    EXPECT_EQ(CountPixels(over, kClearColour, 0), 0) << "the strips left the window uncovered";
    if (shown) {
      EXPECT_GT(DifferingPixels(over, untextured, 2, false), 0) << "shown, yet no picture drawn";
      EXPECT_EQ(DifferingPixels(over, untextured, 2, true), 0) << "brighter than its strip";
    } else {
      EXPECT_EQ(DifferingPixels(over, untextured, 2, false), 0) << "refused, yet drawn";
    }
    if (HasFailure()) SaveFrame(over, file.stem().string());
    CloseAndExpectCleanExit();
    ExpectCleanStderr();
    EndRun();
    return shown ? "shown" : "refused";
  }
};

TEST_P(Corpus, EveryPictureEndsTheGameCleanly) {
  const fs::path corpus = Config().corpus;
  std::error_code error;
  if (Config().corpus.empty() || !fs::is_directory(corpus, error)) {
    GTEST_SKIP() << "no BMP corpus at \"" << Config().corpus
                 << "\" (set VELMORAK_SHARED_DIR to the folder holding bmpsuite/)";
  }
  Frame untextured;
  ASSERT_TRUE(PlayUntextured(&untextured));

  std::ostringstream outcomes;
  int played = 0;
  for (const char* name : GetParam().folders) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus / name, error))
      if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      const std::string label = std::string(name) + "/" + file.filename().string();
      SCOPED_TRACE(label);
      std::string outcome = PlayWithPicture(file, untextured);
      if (GetParam().mustShow && !MayGoBare(file)) {
        EXPECT_EQ(outcome, "shown");
      }
      outcomes << "  " << label << ": " << outcome << "\n";
      ++played;
    }
  }
  EXPECT_GT(played, 0) << "no pictures in " << GetParam().name;
  std::cout << played << " pictures of the " << GetParam().name << " corpus:\n" << outcomes.str();
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, Corpus,
                         ::testing::Values(CorpusPart{"good", {"g"}, true},
                                           CorpusPart{"questionable", {"q"}, false},
                                           CorpusPart{"bad", {"b", "x"}, false}),
                         [](const ::testing::TestParamInfo<CorpusPart>& info) {
                           return info.param.name;
                         });

}  // namespace
