// The clock, statistics and table rows of the measuring programs.
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

double BenchSeconds() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double Samples::Percentile(double fraction) const {
  if (values_.empty()) return 0.0;
  std::vector<double> sorted = values_;
  std::sort(sorted.begin(), sorted.end());
  // Nearest rank: the smallest sample with at least this fraction of all samples at or below it.
  double rank = std::ceil(fraction * static_cast<double>(sorted.size()));
  size_t index = rank < 1.0 ? 0 : static_cast<size_t>(rank) - 1;
  return sorted[std::min(index, sorted.size() - 1)];
}

bool TakeQuickFlag(int* argc, char** argv) {
  bool quick = false;
  int kept = 0;
  for (int i = 0; i < *argc; ++i) {
    if (i > 0 && std::strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
  return quick;
}

bool OnlyQuickFlag(int argc, char** argv, bool* quick) {
  *quick = TakeQuickFlag(&argc, argv);
  if (argc <= 1) return true;
  std::fprintf(stderr, "usage: %s [--quick]\n", argv[0]);
  return false;
}

int RunBenchmarksThenReport(int argc, char** argv, void (*report)(bool quick)) {
  const bool quick = TakeQuickFlag(&argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  report(quick);
  return 0;
}

bool AddTableRow(const TableRow& row) {
  std::printf("| %s | %s | %s | %s | %s | %s |\n", row.figure.c_str(), row.ours.c_str(),
              row.reference.c_str(), row.ratio.c_str(), row.goal.c_str(), row.verdict.c_str());
  std::fflush(stdout);
  const char* path = std::getenv("VELMORAK_BENCH_TABLE");
  if (path == nullptr || *path == '\0') return true;
  std::FILE* table = std::fopen(path, "a");
  bool written =
      table != nullptr && std::fprintf(table, "%s\t%s\t%s\t%s\t%s\t%s\n", row.figure.c_str(),
                                       row.ours.c_str(), row.reference.c_str(), row.ratio.c_str(),
                                       row.goal.c_str(), row.verdict.c_str()) >= 0;
  // A full disk often only shows when the buffered row is flushed at close.
  if (table != nullptr) written = std::fclose(table) == 0 && written;
  if (!written) std::fprintf(stderr, "cannot append to the table %s\n", path);
  return written;
}

namespace {

std::string Format(const char* format, double value, int decimals = 3) {
  char text[64];
  std::snprintf(text, sizeof text, format, decimals, value);
  return text;
}

}  // namespace

std::string FormatMilliseconds(double seconds, int decimals) {
  return Format("%.*f ms", seconds * 1e3, decimals);
}

std::string FormatMicroseconds(double seconds) {
  return Format("%.*f µs", seconds * 1e6);
}

std::string FormatRatio(double ratio) {
  return Format("%.*f", ratio);
}

std::string FormatRatio(double ours, double reference) {
  if (!(reference > 0.0) || !std::isfinite(ours)) return "-";
  return FormatRatio(ours / reference);
}

std::string Verdict(bool holds) {
  return holds ? "holds" : "misses";
}
