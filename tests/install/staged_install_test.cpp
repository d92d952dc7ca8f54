// An install staged under DESTDIR: the files it puts where, and whether the menu entry and the
// manual page pass their own validators, for prefixes that are plain and prefixes that aren't.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "install_support.h"
#include "velmorak_version.h"

namespace {

namespace fs = std::filesystem;

struct PrefixCase {
  const char* name;
  const char* prefix;
  // The Exec line the menu entry must hold: quoted, and escaped once more as a desktop string,
  // whenever the path holds anything a desktop would split or expand.
  const char* execLine;
};

std::ostream& operator<<(std::ostream& out, const PrefixCase& c) {
  return out << c.name;
}

const PrefixCase kPrefixes[] = {
    {"Plain", "/usr", "Exec=/usr/bin/velmorak-launch"},
    // The per-user install: share/velmorak under it is that player's play folder.
    {"PerUser", "/home/player/.local", "Exec=/home/player/.local/bin/velmorak-launch"},
    {"SpaceAndQuote", "/opt/Velmorak's Revir",
     "Exec=\"/opt/Velmorak's Revir/bin/velmorak-launch\""},
    // cmake itself refuses a backslash in a prefix, so none is tried here.
    {"DollarBacktickPercent", "/opt/100%`$HOME`",
     R"(Exec="/opt/100%%\\`\\$HOME\\`/bin/velmorak-launch")"},
};

// Runs a validator on a file; a clean pass is exit 0 with nothing at all on standard error.
void ExpectClean(const std::vector<std::string>& command, const std::vector<std::string>& env) {
  std::string program = FindProgram(command[0]);
  ASSERT_FALSE(program.empty()) << command[0] << " is not installed (scripts/install-deps.sh)";
  std::vector<std::string> argv = command;
  argv[0] = program;
  CommandResult result = RunCommand(argv, EnvironmentWith(env), "/");
  EXPECT_TRUE(result.exited && result.code == 0) << command[0] << " ended with " << result.code;
  EXPECT_EQ(result.err, "") << command[0];
  if (command[0] == "desktop-file-validate") {
    EXPECT_EQ(result.out, "") << command[0];
  }
}

class StagedInstall : public ::testing::TestWithParam<PrefixCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stage_.Create()) << stage_.error();
    ASSERT_TRUE(InstallBuild(GetParam().prefix, stage_.path()));
    root_ = stage_.path() + GetParam().prefix;
  }

  ScratchFolder stage_;
  std::string root_;  // the prefix as it lies inside the stage
};

TEST_P(StagedInstall, PutsEveryFileInItsPlace) {
  struct Expected {
    const char* path;
    mode_t mode;
  };
  const Expected expected[] = {
      {"/bin/velmorak", 0755},
      {"/bin/velmorak-launch", 0755},
      {"/share/applications/velmorak.desktop", 0644},
      {"/share/icons/hicolor/scalable/apps/velmorak.svg", 0644},
      {"/share/man/man6/velmorak.6", 0644},
      {"/share/metainfo/org.brevane.velmorak.metainfo.xml", 0644},
      {"/share/games/velmorak/background.bmp", 0644},
      {"/share/games/velmorak/sky.bmp", 0644},
  };
  std::set<std::string> found;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(stage_.path())) {
    if (!entry.is_directory()) found.insert(entry.path().string().substr(stage_.path().size()));
  }
  std::set<std::string> wanted;
  for (const Expected& file : expected) {
    std::string path = std::string(GetParam().prefix) + file.path;
    wanted.insert(path);
    struct stat info {};
    ASSERT_EQ(lstat((stage_.path() + path).c_str(), &info), 0) << path << " is missing";
    EXPECT_TRUE(S_ISREG(info.st_mode)) << path;
    EXPECT_EQ(info.st_mode & 07777, file.mode) << path;
  }
  EXPECT_EQ(found, wanted);
  // Nothing lands where a per-user install's player keeps their pictures and score.
  for (const std::string& path : found) {
    EXPECT_NE(path.rfind(std::string(GetParam().prefix) + "/share/velmorak/", 0), 0u) << path;
  }
  // Both pictures are real BMP files, not left empty by an install that ran before the build.
  for (const char* picture : {"sky.bmp", "background.bmp"}) {
    std::string bytes = ReadWholeFile(root_ + "/share/games/velmorak/" + picture);
    EXPECT_GT(bytes.size(), 54u) << picture;
    EXPECT_EQ(bytes.substr(0, 2), "BM") << picture;
  }
}

TEST_P(StagedInstall, MenuEntryRunsTheInstalledLauncherInATerminal) {
  std::string entryPath = root_ + "/share/applications/velmorak.desktop";
  std::string entry = ReadWholeFile(entryPath);
  for (std::string line : {std::string(GetParam().execLine), std::string("Type=Application"),
                           std::string("Terminal=true"), std::string("Icon=velmorak"),
                           std::string("Categories=Game;ArcadeGame;")}) {
    EXPECT_NE(entry.find("\n" + line + "\n"), std::string::npos) << line << " in\n" << entry;
  }
  ExpectClean({"desktop-file-validate", entryPath}, {});
}

TEST_P(StagedInstall, AppStreamMetadataValidatesAndLaunchesTheMenuEntry) {
  std::string path = root_ + "/share/metainfo/org.brevane.velmorak.metainfo.xml";
  ExpectClean({"appstreamcli", "validate", "--no-net", "--pedantic", path}, {});
  std::string metadata = ReadWholeFile(path);
  for (std::string element :
       {std::string("<id>org.brevane.velmorak</id>"),
        std::string("<launchable type=\"desktop-id\">velmorak.desktop</launchable>"),
        std::string("<project_license>MIT</project_license>"),
        std::string("<binary>velmorak-launch</binary>"),
        std::string("<release version=\"") + VELMORAK_VERSION + "\""}) {
    EXPECT_NE(metadata.find(element), std::string::npos) << element << " in\n" << metadata;
  }
}

TEST_P(StagedInstall, ManualPageFormatsWithoutWarnings) {
  std::string page = root_ + "/share/man/man6/velmorak.6";
  ExpectClean({"groff", "-man", "-z", "-ww", page}, {});
  ExpectClean({"man", "--warnings", "-l", page}, {"MANWIDTH=300", "MANPAGER=cat", "PAGER=cat"});

  std::string program = FindProgram("man");
  ASSERT_FALSE(program.empty());
  CommandResult shown = RunCommand({program, "-l", page},
                                   EnvironmentWith({"MANWIDTH=300", "MANPAGER=cat", "PAGER=cat",
                                                    "LC_ALL=C", "MAN_KEEP_FORMATTING"}),
                                   "/");
  // The page names the folders this install really used, and the game's version.
  for (std::string path : {std::string(GetParam().prefix) + "/bin/velmorak-launch",
                           std::string(GetParam().prefix) + "/share/games/velmorak/",
                           std::string("Velmorak version " VELMORAK_VERSION " console")}) {
    EXPECT_NE(shown.out.find(path), std::string::npos) << path << " in\n" << shown.out;
  }
}

// A prefix whose data folder is the installing player's play folder: the install stops before it
// writes anything there, and says why.
TEST(InstallIntoPlayFolder, StopsAndLeavesThePlayersPicturesAlone) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Create()) << scratch.error();
  const std::string prefix = scratch.path() + "/home/.local";
  const std::string play = prefix + "/share/games/velmorak";
  fs::create_directories(play);
  ASSERT_TRUE(WriteWholeFile(play + "/sky.bmp", "the player's own sky"));
  CommandResult install = RunInstall(
      prefix, "", {"HOME=" + scratch.path() + "/home", "XDG_DATA_HOME=" + prefix + "/share/games"});
  EXPECT_TRUE(install.exited);
  EXPECT_NE(install.code, 0) << install.out;
  EXPECT_NE(install.err.find("it is the play folder"), std::string::npos) << install.err;
  EXPECT_EQ(ReadWholeFile(play + "/sky.bmp"), "the player's own sky");
  EXPECT_FALSE(fs::exists(play + "/background.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Prefix, StagedInstall, ::testing::ValuesIn(kPrefixes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
