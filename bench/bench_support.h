// What every measuring program shares: a clock, sample statistics, the --quick switch and the
// row each headline figure adds to the summary table.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Seconds on a steady clock; only differences mean anything.
double BenchSeconds();

// Durations of single runs of one thing, all in one unit.
class Samples {
 public:
  Samples() = default;
  explicit Samples(std::vector<double> values) : values_(std::move(values)) {}
  void Add(double seconds) { values_.push_back(seconds); }
  void Reserve(size_t count) { values_.reserve(count); }
  size_t Count() const { return values_.size(); }
  // The value below which the given fraction of the samples lie (nearest rank); 0 when empty.
  double Percentile(double fraction) const;
  double Median() const { return Percentile(0.5); }

 private:
  std::vector<double> values_;
};

// Removes --quick from the arguments, so that the rest can go to Google Benchmark, and says
// whether it was there: a short smoke run instead of a careful one.
bool TakeQuickFlag(int* argc, char** argv);

// For programs whose only argument is --quick: sets *quick, or prints the usage and returns
// false when anything else was given.
bool OnlyQuickFlag(int argc, char** argv, bool* quick);

// The main of a measuring program: Google Benchmark's own timings first (its arguments work as
// usual), then the program's headline figures for the summary table, short ones with --quick.
int RunBenchmarksThenReport(int argc, char** argv, void (*report)(bool quick));

// One line of the summary table. Printed, and appended tab-separated to the file that
// VELMORAK_BENCH_TABLE names when it is set, which is how scripts/bench.sh gathers every
// program's figures into one table. False when that file can't be written; the row was still
// printed.
struct TableRow {
  std::string figure;
  std::string ours;
  std::string reference;
  std::string ratio;  // ours / reference as a plain number, or "-"
  std::string goal;
  std::string verdict;  // "holds", "misses" or "-"
};
bool AddTableRow(const TableRow& row);

// Human-readable numbers for the table.
std::string FormatMilliseconds(double seconds, int decimals = 3);
std::string FormatMicroseconds(double seconds);
std::string FormatRatio(double ratio);
// ours / reference, or "-" when the reference is no positive number or ours isn't finite.
std::string FormatRatio(double ours, double reference);
std::string Verdict(bool holds);
