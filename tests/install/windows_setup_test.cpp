// The Windows installer under Wine, as a player and a package manager meet it: a silent install,
// the Start-menu entry's game played to the right wall in its play folder, a silent upgrade over
// the player's own pictures and record, and the entry's quiet uninstall, which takes back what the
// install put in and leaves the play folder whole. Wine runs in the build's prefix
// (scripts/wine.sh); whatever an earlier run left there is cleared first.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>

#include "expected_output.h"
#include "frame.h"
#include "game_process.h"
#include "install_support.h"
#include "velmorak_version.h"
#include "x_session.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using Fields = std::map<std::string, std::string>;
using Files = std::map<std::string, std::string>;  // name and bytes

constexpr const char* kWindowTitle = "Velmorak Revir - Brevane software organisation";
constexpr const char* kEntryKey =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmorak Revir";
// Generous: they only matter when something is broken. A Wine program that starts the prefix's
// services on a busy machine takes many seconds.
constexpr int kWineTimeoutMs = 60000;
constexpr int kStartTimeoutMs = 20000;
constexpr int kPlayTimeoutMs = 15000;

std::string Crlf(const std::string& text) {
  return WithLineEnd(text, "\r\n");
}

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

// The names, in order.
std::string Names(const Files& files) {
  std::string names;
  for (const auto& file : files) names += (names.empty() ? "" : " ") + file.first;
  return names;
}

// How got differs from wanted, file by file; empty when they are the same.
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

class WindowsSetup : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Config().setup.empty() || Config().wine.empty())
      GTEST_SKIP() << "no --setup=INSTALLER --wine=RUNNER given";
    // Wine stays tied to the X display its server started on: end the one an earlier test left.
    Wine({"--stop"});
    ASSERT_TRUE(server_.Start(1024, 768)) << server_.error();
    ASSERT_TRUE(x_.Open(server_.display())) << x_.error();
    env_ = EnvironmentWith({"DISPLAY=" + server_.display()});

    const std::string localAppData = Trimmed(Wine({"cmd", "/c", "echo", "%LOCALAPPDATA%"}).out);
    const std::string appData = Trimmed(Wine({"cmd", "/c", "echo", "%APPDATA%"}).out);
    driveC_ = Trimmed(Wine({"winepath", "-u", "C:\\"}).out);
    ASSERT_EQ(localAppData.rfind("C:\\", 0), 0u) << localAppData;
    ASSERT_EQ(appData.rfind("C:\\", 0), 0u) << appData;
    ASSERT_FALSE(driveC_.empty());
    program_ = localAppData + "\\Programs\\Velmorak Revir";
    play_ = localAppData + "\\Velmorak Revir";
    shortcut_ = appData + "\\Microsoft\\Windows\\Start Menu\\Programs\\Velmorak Revir.lnk";
    RemoveFiles();
    Wine({"reg", "delete", kEntryKey, "/f"});
  }

  void TearDown() override {
    if (Config().wine.empty()) return;
    if (HasFailure())
      std::cerr << "---- game output ----\n" << game_.Output() << "\n---- end ----\n";
    game_.Kill();
    // Takes the uninstaller's copy of itself with it, should it still be running.
    Wine({"--stop"});
    // Our connection goes before its server does: Xlib ends the process on a lost connection.
    x_.Close();
    server_.Stop();
    if (!driveC_.empty()) RemoveFiles();
  }

  CommandResult Wine(const std::vector<std::string>& words) {
    std::vector<std::string> argv{Config().wine};
    argv.insert(argv.end(), words.begin(), words.end());
    return RunCommand(argv, env_.empty() ? EnvironmentWith({}) : env_, "/", kWineTimeoutMs);
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

  // Waits for the game over on screen: by then the record is written and closed.
  bool WaitForGameOver(Window window) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
    while (FindStateText(x_.Grab(window)) != StateText::GameOver) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      usleep(5000);
    }
    return true;
  }

  XvfbServer server_;
  XSession x_;
  GameProcess game_;
  std::vector<std::string> env_;
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

  CommandResult lnkinfo = RunCommand({"/usr/bin/env", "lnkinfo", UnixPath(shortcut_)}, env_, "/");
  ASSERT_TRUE(Succeeded(lnkinfo)) << "no readable shortcut at " << shortcut_;
  Fields link = SplitLines(lnkinfo.out, ": ");
  EXPECT_EQ(link["Local path"], exe);
  EXPECT_EQ(link["Working directory"], play_);

  const std::string play = UnixPath(play_);
  Files defaults = FolderFiles(play);
  ASSERT_EQ(Names(defaults), "background.bmp sky.bmp");

  // ---- The shortcut's game in its working folder, level 8 to the right wall.
  ASSERT_TRUE(game_.Start(UnixPath(link["Local path"]), UnixPath(link["Working directory"]),
                          server_.display(), {"LIBGL_ALWAYS_SOFTWARE=1", "GALLIUM_DRIVER=llvmpipe"},
                          {Config().wine}))
      << game_.error();
  game_.WriteInputAndClose("8\n");
  Window window = x_.WaitForWindow(kWindowTitle, kStartTimeoutMs);
  ASSERT_NE(window, None) << "no window; output so far:\n" << game_.Output();
  ASSERT_TRUE(WaitForGameOver(window)) << game_.Output();
  EXPECT_EQ(game_.Output(),
            Crlf(StartOutput(true) + "window width :250\nCASE 1\n" + ScoreReport(1)));
  EXPECT_EQ(ReadWholeFile(play + "/User_score.txt"), Crlf(ScoreRecord(1, 8)));
  x_.RequestClose(window);
  ASSERT_TRUE(game_.WaitForExit(kPlayTimeoutMs)) << "the game did not end after the close";
  EXPECT_EQ(game_.exitCode(), 0);

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
