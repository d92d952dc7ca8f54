// The Windows installer under Wine, as a player and a package manager meet it: a silent install,
// the Start-menu entry's game played to the right wall in its play folder, a silent upgrade over
// the player's own pictures and record, and the entry's quiet uninstall, which takes back what the
// install put in and leaves the play folder whole. Wine runs in the build's prefix
// (scripts/wine.sh); whatever an earlier run left there is cleared first.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>

#include "expected_output.h"
#include "install_support.h"
#include "velmorak_version.h"

namespace {

namespace fs = std::filesystem;
using Fields = std::map<std::string, std::string>;
using Files = std::map<std::string, std::string>;  // name and bytes

constexpr const char* kEntryKey =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmorak Revir";
// Generous: it only matters when something is broken. A Wine program that starts the prefix's
// services on a busy machine takes many seconds.
constexpr int kWineTimeoutMs = 60000;

std::string Trimmed(const std::string& text) {
  const char* blank = " \t\r\n";
  size_t first = text.find_first_not_of(blank);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blank) + 1 - first);
}

// Each "NAME<separator>VALUE" line of a tool's report, both sides trimmed.
Fields SplitLines(const std::string& text, const std::string& separator) {
  Fields fields;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    size_t at = line.find(separator);
    if (at != std::string::npos)
      fields[Trimmed(line.substr(0, at))] = Trimmed(line.substr(at + separator.size()));
  }
  return fields;
}

Files FolderFiles(const std::string& folder) {
  Files files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    files[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
  return files;
}

// How got differs from wanted, file by file ("" when they hold the same names and bytes).
std::string Differences(const Files& got, const Files& wanted) {
  std::string text;
  for (const auto& [name, bytes] : wanted) {
    auto it = got.find(name);
    if (it == got.end())
      text += name + " is gone; ";
    else if (it->second != bytes)
      text += name + " was replaced; ";
  }
  for (const auto& file : got)
    if (wanted.count(file.first) == 0) text += file.first + " is new; ";
  return text;
}

// The names, in order.
std::string Names(const Files& files) {
  std::string names;
  for (const auto& file : files) names += (names.empty() ? "" : " ") + file.first;
  return names;
}

class WindowsSetup : public GameWindowTest {
 protected:
  void SetUp() override {
    if (Config().setup.empty() || !UnderWine())
      GTEST_SKIP() << "no --setup=INSTALLER --wine=RUNNER given";
    ASSERT_FALSE(x().display().empty()) << "no X server for Wine";
    // Wine stays tied to the X display its server started on: end the one an earlier run left.
    Wine({"--stop"});
    const std::string localAppData = Trimmed(Wine({"cmd", "/c", "echo", "%LOCALAPPDATA%"}).out);
    const std::string appData = Trimmed(Wine({"cmd", "/c", "echo", "%APPDATA%"}).out);
    driveC_ = Trimmed(Wine({"winepath", "-u", "C:\\"}).out);
    ASSERT_EQ(localAppData.rfind("C:\\", 0), 0u) << localAppData;
    ASSERT_EQ(appData.rfind("C:\\", 0), 0u) << appData;
    ASSERT_FALSE(driveC_.empty());
    program_ = localAppData + "\\Programs\\Velmorak Revir";
    play_ = localAppData + "\\Velmorak Revir";
    shortcut_ = appData + "\\Microsoft\\Windows\\Start Menu\\Programs\\Velmorak Revir.lnk";
    // Whatever an earlier run left in the build's prefix goes first.
    RemoveFiles();
    Wine({"reg", "delete", kEntryKey, "/f"});
  }

  void TearDown() override {
    GameWindowTest::TearDown();
    if (driveC_.empty()) return;
    // Takes the uninstaller's copy of itself with it, should it still be running.
    Wine({"--stop"});
    RemoveFiles();
  }

  CommandResult Wine(const std::vector<std::string>& words) {
    std::vector<std::string> argv{Config().wine};
    argv.insert(argv.end(), words.begin(), words.end());
    return RunCommand(argv, EnvironmentWith({"DISPLAY=" + x().display()}), "/", kWineTimeoutMs);
  }
  static ::testing::AssertionResult Succeeded(const CommandResult& run) {
    if (run.exited && run.code == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "status " << run.code << "\n" << run.out << run.err;
  }

  // Where a C: path lies in the prefix.
  std::string UnixPath(const std::string& windows) const {
    if (windows.rfind("C:\\", 0) != 0) return "<not on C: " + windows + ">";
    std::string path = driveC_ + "/" + windows.substr(3);
    for (char& c : path) c = c == '\\' ? '/' : c;
    return path;
  }

  // The uninstall entry's values; none when there is no entry.
  Fields Entry() {
    CommandResult query = Wine({"reg", "query", kEntryKey});
    if (!query.exited || query.code != 0) return {};
    Fields fields;
    for (const char* type : {"REG_SZ", "REG_DWORD"})
      for (auto& [name, value] : SplitLines(query.out, std::string("    ") + type + "    "))
        fields[name] = value;
    return fields;
  }

  void RemoveFiles() {
    std::error_code ignored;
    for (const std::string& path : {program_, play_, shortcut_})
      fs::remove_all(UnixPath(path), ignored);
  }

  std::string driveC_;
  // Where the install is to put the program, the play folder and the shortcut (Windows paths).
  std::string program_, play_, shortcut_;
};

TEST_F(WindowsSetup, InstallPlayUpgradeUninstall) {
  // ---- A silent install: the program, the uninstall entry, the shortcut, the default pictures.
  ASSERT_TRUE(Succeeded(Wine({Config().setup, "/S"})));
  const std::string exe = program_ + "\\velmorak.exe";
  const std::string uninstaller = "\"" + program_ + "\\Uninstall.exe\"";
  const Fields expectedEntry{
      {"DisplayName", "Velmorak Revir"},
      {"DisplayVersion", VELMORAK_VERSION},
      {"Publisher", "Brevane software organisation"},
      {"DisplayIcon", exe},
      {"InstallLocation", program_},
      {"UninstallString", uninstaller},
      {"QuietUninstallString", uninstaller + " /S"},
      {"NoModify", "0x1"},
      {"NoRepair", "0x1"},
  };
  Fields entry = Entry();
  for (const auto& [name, value] : expectedEntry) EXPECT_EQ(entry[name], value) << name;
  EXPECT_GT(std::strtoul(entry["EstimatedSize"].c_str(), nullptr, 16), 0ul) << "in KiB";

  Files installed = FolderFiles(UnixPath(program_));
  EXPECT_EQ(Names(installed), "README.txt Uninstall.exe velmorak.exe");

  CommandResult lnkinfo =
      RunCommand({"lnkinfo", UnixPath(shortcut_)}, EnvironmentWith({}), "/", kWineTimeoutMs);
  ASSERT_TRUE(Succeeded(lnkinfo)) << "no readable shortcut at " << shortcut_;
  Fields link = SplitLines(lnkinfo.out, ": ");
  EXPECT_EQ(link["Local path"], exe);
  EXPECT_EQ(link["Working directory"], play_);

  const std::string play = UnixPath(play_);
  Files defaults = FolderFiles(play);
  ASSERT_EQ(Names(defaults), "background.bmp sky.bmp");

  // ---- The shortcut's game in its working folder, level 8 to the right wall.
  LaunchOptions options;
  options.program = UnixPath(link["Local path"]);
  options.workDir = UnixPath(link["Working directory"]);
  ASSERT_TRUE(Start(options));
  Frame frame;
  ASSERT_TRUE(WaitForGameOver(1, &frame));
  EXPECT_EQ(game().Output(),
            Lines(StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1)));
  EXPECT_EQ(ReadWholeFile(play + "/User_score.txt"), Lines(ScoreRecord(1, 8)));
  CloseAndExpectCleanExit();

  // ---- An upgrade over the player's own pictures (real ones, the defaults swapped) and record.
  const Files own{{"sky.bmp", defaults["background.bmp"]},
                  {"background.bmp", defaults["sky.bmp"]},
                  {"User_score.txt", ReadWholeFile(play + "/User_score.txt")}};
  for (const auto& [name, bytes] : own) ASSERT_TRUE(WriteWholeFile(play + "/" + name, bytes));
  // The upgrade must put the program's files in again.
  fs::remove(UnixPath(program_ + "\\README.txt"));
  ASSERT_TRUE(Succeeded(Wine({Config().setup, "/S"})));
  EXPECT_EQ(Differences(FolderFiles(play), own), "") << "in the play folder";
  EXPECT_EQ(Differences(FolderFiles(UnixPath(program_)), installed), "") << "in the program folder";
  entry = Entry();
  EXPECT_EQ(entry["InstallLocation"], program_);

  // ---- The entry's quiet uninstall, run as a package manager runs it.
  const std::string quiet = entry["QuietUninstallString"];
  size_t closing = quiet.find("\" ");
  ASSERT_TRUE(quiet.rfind("\"", 0) == 0 && closing != std::string::npos) << quiet;
  ASSERT_TRUE(Succeeded(Wine({quiet.substr(1, closing - 1), quiet.substr(closing + 2)})));
  // The uninstaller hands over to a copy of itself outside the folder it removes and returns at
  // once; the copy removes the entry last.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWineTimeoutMs);
  while (!Entry().empty() && std::chrono::steady_clock::now() < deadline) usleep(100000);
  EXPECT_TRUE(Entry().empty()) << "the uninstall entry is still there";
  EXPECT_FALSE(fs::exists(UnixPath(program_))) << Names(FolderFiles(UnixPath(program_)));
  EXPECT_FALSE(fs::exists(UnixPath(shortcut_)));
  EXPECT_EQ(Differences(FolderFiles(play), own), "") << "in the play folder";
}

}  // namespace
