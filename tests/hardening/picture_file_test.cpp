// Pictures that aren't files at all: a folder, a named pipe nobody writes, endless devices, an
// empty or unreadable file. The game says it can't use them, plays on bare strips and closes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "expected_output.h"
#include "hardening_run.h"

namespace {

namespace fs = std::filesystem;

struct PictureFileCase {
  const char* name;
  bool needsPermissions;  // root reads through permission bits: play as nobody then
  bool (*make)(const fs::path& picture);
};

std::ostream& operator<<(std::ostream& out, const PictureFileCase& c) {
  return out << c.name;
}

bool MakeEmpty(const fs::path& picture) {
  std::FILE* file = std::fopen(picture.c_str(), "wb");
  return file != nullptr && std::fclose(file) == 0;
}

const PictureFileCase kCases[] = {
    {"Folder", false,
     [](const fs::path& picture) {
       std::error_code error;
       return fs::create_directory(picture, error);
     }},
    {"NamedPipeWithoutWriter", false,
     [](const fs::path& picture) { return mkfifo(picture.c_str(), 0644) == 0; }},
    {"EndlessZeros", false,
     [](const fs::path& picture) { return symlink("/dev/zero", picture.c_str()) == 0; }},
    {"EndlessNoise", false,
     [](const fs::path& picture) { return symlink("/dev/urandom", picture.c_str()) == 0; }},
    {"Empty", false, MakeEmpty},
    {"Unreadable", true,
     [](const fs::path& picture) { return MakeEmpty(picture) && chmod(picture.c_str(), 0) == 0; }},
};

class PictureFile : public HardeningTest, public ::testing::WithParamInterface<PictureFileCase> {};

TEST_P(PictureFile, GameSaysSoAndPlaysOnBareStrips) {
  const PictureFileCase& c = GetParam();
  std::string why;
  if (c.needsPermissions && !CanPlayAsNobody(&why)) GTEST_SKIP() << why;
  NewFolder(false);
  const fs::path folderPath = folder().path();
  ASSERT_TRUE(c.make(folderPath / "sky.bmp") && c.make(folderPath / "background.bmp"));
  LaunchOptions options;
  options.unprivileged = c.needsPermissions;
  ASSERT_TRUE(Start(options));

  Frame over;
  ASSERT_TRUE(WaitForGameOver(1, &over));
  EXPECT_EQ(game().Output(), StartOutput(false) + "window width :250\nCASE 1\n" + ScoreReport(1));
  EXPECT_EQ(ScoreFile(), ScoreRecord(1, 8));
  EXPECT_EQ(CountPixels(over, kClearColour, 0), 0);
  CloseAndExpectCleanExit();
  ExpectCleanStderr();
}

INSTANTIATE_TEST_SUITE_P(NotAPicture, PictureFile, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PictureFileCase>& info) {
                           return info.param.name;
                         });

}  // namespace
