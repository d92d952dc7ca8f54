// The shared results table of the benchmarks: one tab-separated row per headline figure, appended
// to the file VELMORAK_BENCH_TABLE names, and the same row on standard output for a person.
#pragma once

#include <string>

struct BenchRow {
  std::string figure;     // what was measured, e.g. "tick pace, level 8, mean period"
  std::string ours;       // value with its unit
  std::string reference;  // what it is compared with, value and unit
  std::string ratio;      // ours / reference as a plain number, or "-"
  std::string goal;
  std::string verdict;  // "holds", "misses" or "-"
};

// Prints the row and, when VELMORAK_BENCH_TABLE is set, appends it there. False when the table
// file is named but cannot be written; the row was still printed.
bool ReportRow(const BenchRow& row);

// "10.01 ms": milliseconds with a fixed number of decimals.
std::string Milliseconds(double ms, int decimals = 2);
// A ratio with three decimals, or "-" when the reference is not a positive number.
std::string Ratio(double ours, double reference);
std::string Verdict(bool holds);
