// The console side of start-up: the level dialogue and the loading reports.
#pragma once

#include <cstdint>
#include <iosfwd>

// Prints the banner and the level prompt to out, reads one integer from in and returns it; 0 when
// no integer can be read (letters, end of input, a number beyond 32 bits).
int32_t RunLevelDialogue(std::istream& in, std::ostream& out);

// The dialogue's two halves, for a console that hands over the typed line later (the browser's):
// the banner and the prompt, and the level read from what was typed.
void WriteLevelPrompt(std::ostream& out);
int32_t ReadLevel(std::istream& in);

// Milliseconds between ticks for a level; anything outside 1..8 gets the prompt's default, 80.
int32_t TickIntervalForLevel(int32_t level);

// The line printed once the graphics mode is chosen.
void WriteMipmapLine(std::ostream& out);

// The two lines after an image load. successText is printed when the picture will be shown;
// otherwise an honest line names the file and says its strip goes without it.
void WriteLoadingReport(std::ostream& out, const char* fileName, const char* successText,
                        bool shown);
