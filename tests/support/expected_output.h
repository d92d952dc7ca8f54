// The console bytes a player sees, written out once so the scenarios compare whole outputs.
#pragma once

#include <string>

// The banner and the level prompt, up to where the typed level follows on the same line.
std::string BannerAndPrompt();

// Banner, level prompt (no echo: the level comes through a pipe), the mipmap line and the two
// loading reports, either both pictures shown or both refused.
std::string StartOutput(bool picturesShown);

// One call of the game's end: the ruled-off score report.
std::string ScoreReport(int score);

// The record "User_score.txt" holds after a game.
std::string ScoreRecord(int score, int level);

// The line end the game's text-mode output has where these tests are built: "\r\n" on Windows,
// "\n" elsewhere.
extern const char* const kBuiltLineEnd;

// text with every "\n" written as lineEnd: the texts above as a platform's text mode writes them.
std::string WithLineEnd(const std::string& text, const std::string& lineEnd);
