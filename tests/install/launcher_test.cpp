// The launcher on its own, with a stand-in for the game that says which copy it is and where it
// was started: the play folder it picks, the pictures it copies or leaves alone, how it finds the
// game from wherever it was started, and the messages it gives when it can't go on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "install_support.h"

namespace {

namespace fs = std::filesystem;

// Prints its name and the folder it runs in, which is all the launcher decides.
std::string FakeGame(const std::string& name) {
  return "#!/bin/sh\necho " + name + "\npwd -P\n";
}

bool PutFakeGame(const fs::path& bin, const std::string& name) {
  return WriteWholeFile((bin / "velmorak").string(), FakeGame(name)) &&
         chmod((bin / "velmorak").c_str(), 0755) == 0;
}

// Installed once for all cases: a real install whose prefix a shell would trip over, a copy of
// it moved elsewhere, and a staged install whose prefix does not exist.
struct Trees {
  ScratchFolder base;
  fs::path installed;  // cmake --install --prefix, game and pictures where the launcher was told
  fs::path moved;      // the same tree copied elsewhere, with pictures of its own
  fs::path staged;     // DESTDIR install for a prefix that is nowhere
};
Trees* trees = nullptr;

class Launcher : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    trees = new Trees;
    ASSERT_TRUE(trees->base.Create()) << trees->base.error();
    fs::path base = trees->base.path();
    trees->installed = base / "installed pre'fix $HOME";
    trees->moved = base / "moved" / "tree";
    trees->staged = base / "staged";
    ASSERT_TRUE(InstallBuild(trees->installed.string(), ""));
    ASSERT_TRUE(InstallBuild("/velmorak-nowhere", trees->staged.string()));
    fs::create_directories(trees->moved);
    fs::copy(trees->installed, trees->moved,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    ASSERT_TRUE(PutFakeGame(trees->installed / "bin", "installed"));
    ASSERT_TRUE(PutFakeGame(trees->moved / "bin", "moved"));
    for (const char* picture : {"sky.bmp", "background.bmp"}) {
      ASSERT_TRUE(WriteWholeFile((trees->moved / "share/games/velmorak" / picture).string(),
                                 std::string("moved ") + picture));
    }
  }
  static void TearDownTestSuite() {
    delete trees;
    trees = nullptr;
  }
};

// One start of the launcher: a fresh home and data folder, and how it is called.
struct Scene {
  Scene() {
    folder.Create();
    home = folder.path() + "/home of a player";
    data = folder.path() + "/data home's";
    fs::create_directories(home);
    fs::create_directories(data);
    env = {"PATH=/usr/bin:/bin", "HOME=" + home};
    launcher = (trees->moved / "bin/velmorak-launch").string();
  }
  std::string DefaultPlay() const { return home + "/.local/share/velmorak"; }
  std::string DataPlay() const { return data + "/velmorak"; }
  CommandResult Run() const {
    std::vector<std::string> argv{launcher};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv, env, workDir, 30000);
  }

  ScratchFolder folder;
  std::string home;
  std::string data;
  std::vector<std::string> env;
  std::string launcher;
  std::vector<std::string> args;
  std::string workDir = "/";
};

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
    names.insert(entry.path().filename().string());
  return names;
}

// ---- Where the play folder is, and what the player already had in it ----

enum class Sky { Absent, File, Link, BrokenLink, Folder };

struct FolderCase {
  const char* name;
  const char* xdg;  // the value of XDG_DATA_HOME; "{data}" is the scene's data folder
  bool unset;       // XDG_DATA_HOME not in the environment at all
  Sky sky;          // what already lies in the play folder under the name sky.bmp
  bool inData;      // the play folder is $XDG_DATA_HOME/velmorak, not the one under HOME
};

std::ostream& operator<<(std::ostream& out, const FolderCase& c) {
  return out << c.name;
}

const FolderCase kFolderCases[] = {
    {"XdgUnset", "", true, Sky::Absent, false},
    {"XdgEmpty", "", false, Sky::Absent, false},
    {"XdgRelative", "relative/data", false, Sky::Absent, false},
    {"XdgAbsolute", "{data}", false, Sky::Absent, true},
    {"XdgAbsoluteWithTrailingSlash", "{data}/", false, Sky::Absent, true},
    {"PlayersOwnSky", "", true, Sky::File, false},
    {"PlayersSkyIsALink", "{data}", false, Sky::Link, true},
    {"PlayersSkyIsABrokenLink", "", true, Sky::BrokenLink, false},
    {"PlayersSkyIsAFolder", "", true, Sky::Folder, false},
};

class PlayFolderChoice : public Launcher, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(PlayFolderChoice, FillsOnlyTheGapsAndStartsTheGameThere) {
  const FolderCase& c = GetParam();
  Scene scene;
  if (!c.unset) {
    std::string xdg = c.xdg;
    if (xdg.rfind("{data}", 0) == 0) xdg = scene.data + xdg.substr(6);
    scene.env.push_back("XDG_DATA_HOME=" + xdg);
  }
  const std::string play = c.inData ? scene.DataPlay() : scene.DefaultPlay();
  const std::string sky = play + "/sky.bmp";
  const std::string elsewhere = scene.folder.path() + "/my sky.bmp";
  ASSERT_TRUE(WriteWholeFile(elsewhere, "the player's own sky"));
  if (c.sky != Sky::Absent) fs::create_directories(play);
  switch (c.sky) {
    case Sky::Absent:
      break;
    case Sky::File:
      ASSERT_TRUE(WriteWholeFile(sky, "the player's own sky"));
      break;
    case Sky::Link:
      fs::create_symlink(elsewhere, sky);
      break;
    case Sky::BrokenLink:
      fs::create_symlink(scene.folder.path() + "/gone.bmp", sky);
      break;
    case Sky::Folder:
      fs::create_directory(sky);
      break;
  }

  CommandResult result = scene.Run();
  ASSERT_TRUE(result.exited) << result.err;
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "moved\n" + fs::canonical(play).string() + "\n");

  EXPECT_EQ(Names(play), (std::set<std::string>{"sky.bmp", "background.bmp"}));
  EXPECT_EQ(ReadWholeFile(play + "/background.bmp"), "moved background.bmp");
  switch (c.sky) {
    case Sky::Absent:
      EXPECT_EQ(ReadWholeFile(sky), "moved sky.bmp");
      break;
    case Sky::File:
      EXPECT_EQ(ReadWholeFile(sky), "the player's own sky");
      break;
    case Sky::Link:
      EXPECT_EQ(fs::read_symlink(sky), elsewhere);
      EXPECT_EQ(ReadWholeFile(elsewhere), "the player's own sky");
      break;
    case Sky::BrokenLink:
      EXPECT_TRUE(fs::is_symlink(sky));
      EXPECT_FALSE(fs::exists(sky));
      break;
    case Sky::Folder:
      EXPECT_TRUE(fs::is_directory(sky) && fs::is_empty(sky));
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Launcher, PlayFolderChoice, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- How the launcher was reached, and which game and pictures it then finds ----

struct ReachCase {
  const char* name;
  std::function<void(Scene&)> prepare;
  const char* game;      // the copy of the game that must run
  const char* skyStart;  // the start of the sky.bmp copied in
  const char* warning;   // on standard error; empty when nothing may be said
};

std::ostream& operator<<(std::ostream& out, const ReachCase& c) {
  return out << c.name;
}

const ReachCase kReachCases[] = {
    {"AbsolutePath", [](Scene&) {}, "moved", "moved sky.bmp", ""},
    {"RelativePathFromItsFolder",
     [](Scene& s) {
       s.workDir = (trees->moved / "bin").string();
       s.launcher = "./velmorak-launch";
     },
     "moved", "moved sky.bmp", ""},
    {"AbsoluteLinkElsewhere",
     [](Scene& s) {
       std::string link = s.folder.path() + "/my bin/velmorak-launch";
       fs::create_directories(s.folder.path() + "/my bin");
       fs::create_symlink(trees->moved / "bin/velmorak-launch", link);
       s.launcher = link;
     },
     "moved", "moved sky.bmp", ""},
    {"ChainOfRelativeLinks",
     [](Scene& s) {
       fs::path links = s.folder.path() + "/links";
       fs::create_directories(links / "deeper");
       fs::create_symlink(fs::relative(trees->moved / "bin/velmorak-launch", links / "deeper"),
                          links / "deeper" / "second");
       fs::create_symlink("deeper/second", links / "first");
       s.launcher = (links / "first").string();
     },
     "moved", "moved sky.bmp", ""},
    {"LoneCopyFallsBackToTheInstalledFolders",
     [](Scene& s) {
       s.launcher = s.folder.path() + "/velmorak-launch";
       fs::copy_file(trees->installed / "bin/velmorak-launch", s.launcher);
     },
     "installed", "BM", ""},
    {"NoDefaultPicturesAnywhere",
     [](Scene& s) {
       fs::create_directories(s.folder.path() + "/bare");
       s.launcher = s.folder.path() + "/bare/velmorak-launch";
       fs::copy_file(trees->staged / "velmorak-nowhere/bin/velmorak-launch", s.launcher);
       PutFakeGame(s.folder.path() + "/bare", "bare");
     },
     "bare", "<missing>",
     "velmorak-launch: no default sky.bmp to copy: its strip will be plain\n"
     "velmorak-launch: no default background.bmp to copy: its strip will be plain\n"},
};

class ReachedFrom : public Launcher, public ::testing::WithParamInterface<ReachCase> {};

TEST_P(ReachedFrom, FindsTheGameAndPicturesItBelongsTo) {
  Scene scene;
  GetParam().prepare(scene);
  CommandResult result = scene.Run();
  EXPECT_TRUE(result.exited && result.code == 0) << result.code << ": " << result.err;
  EXPECT_EQ(result.err, GetParam().warning);
  std::string play = scene.DefaultPlay();
  EXPECT_EQ(result.out, std::string(GetParam().game) + "\n" + fs::canonical(play).string() + "\n");
  EXPECT_EQ(ReadWholeFile(play + "/sky.bmp").rfind(GetParam().skyStart, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Launcher, ReachedFrom, ::testing::ValuesIn(kReachCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Starts that can't go on: a message, an exit status, and no game ----

struct RefusalCase {
  const char* name;
  std::function<void(Scene&)> prepare;
  int code;
  // Must appear in the message; "{play}" is the play folder that was asked for.
  const char* message;
};

std::ostream& operator<<(std::ostream& out, const RefusalCase& c) {
  return out << c.name;
}

const RefusalCase kRefusalCases[] = {
    {"DataHomeUnderAFile",
     [](Scene& s) {
       WriteWholeFile(s.data + "/a file", "");
       s.env.push_back("XDG_DATA_HOME=" + s.data + "/a file");
     },
     1, "cannot create the play folder \"{data}/a file/velmorak\""},
    {"PlayFolderIsAFile",
     [](Scene& s) {
       fs::create_directories(s.home + "/.local/share");
       WriteWholeFile(s.DefaultPlay(), "");
     },
     1, "cannot use the play folder \"{home}/.local/share/velmorak\": it is not a folder"},
    {"PlayFolderIsABrokenLink",
     [](Scene& s) {
       s.env.push_back("XDG_DATA_HOME=" + s.data);
       fs::create_symlink(s.data + "/gone", s.DataPlay());
     },
     1, "cannot use the play folder \"{data}/velmorak\": it is a link to nothing"},
    {"PlayFolderIsALinkToAFile",
     [](Scene& s) {
       s.env.push_back("XDG_DATA_HOME=" + s.data);
       WriteWholeFile(s.data + "/a file", "");
       fs::create_symlink(s.data + "/a file", s.DataPlay());
     },
     1, "cannot use the play folder \"{data}/velmorak\": it is not a folder"},
    {"NoHomeAndNoDataHome", [](Scene& s) { s.env = {"PATH=/usr/bin:/bin"}; }, 1,
     "neither XDG_DATA_HOME nor HOME"},
    {"RelativeHomeAndDataHome",
     [](Scene& s) {
       s.env = {"PATH=/usr/bin:/bin", "HOME=home", "XDG_DATA_HOME=data"};
     },
     1, "neither XDG_DATA_HOME nor HOME"},
    {"Arguments", [](Scene& s) { s.args = {"8"}; }, 2, "takes no arguments"},
    {"NoGameAnywhere",
     [](Scene& s) {
       s.launcher = s.folder.path() + "/velmorak-launch";
       fs::copy_file(trees->staged / "velmorak-nowhere/bin/velmorak-launch", s.launcher);
     },
     127, "cannot find the game"},
};

class Refuses : public Launcher, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refuses, SaysWhyOnStandardErrorAndNeverStartsTheGame) {
  Scene scene;
  GetParam().prepare(scene);
  std::string message = GetParam().message;
  for (auto [key, value] : {std::pair<std::string, std::string>{"{data}", scene.data},
                            std::pair<std::string, std::string>{"{home}", scene.home}}) {
    size_t at = message.find(key);
    if (at != std::string::npos) message.replace(at, key.size(), value);
  }
  CommandResult result = scene.Run();
  ASSERT_TRUE(result.exited) << result.err;
  EXPECT_EQ(result.code, GetParam().code) << result.err;
  EXPECT_EQ(result.out, "") << "the game ran";
  EXPECT_EQ(result.err.rfind("velmorak-launch: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(scene.DefaultPlay() + "/sky.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Launcher, Refuses, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
