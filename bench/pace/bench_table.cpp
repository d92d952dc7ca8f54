// Rows of the shared benchmark table.
#include "bench_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

bool ReportRow(const BenchRow& row) {
  const std::string line = row.figure + "\t" + row.ours + "\t" + row.reference + "\t" + row.ratio +
                           "\t" + row.goal + "\t" + row.verdict + "\n";
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
  const char* path = std::getenv("VELMORAK_BENCH_TABLE");
  if (path == nullptr || *path == '\0') return true;
  std::FILE* table = std::fopen(path, "a");
  if (table == nullptr) {
    std::fprintf(stderr, "cannot append to the benchmark table %s\n", path);
    return false;
  }
  bool written = std::fputs(line.c_str(), table) >= 0;
  written = std::fclose(table) == 0 && written;
  if (!written) std::fprintf(stderr, "cannot append to the benchmark table %s\n", path);
  return written;
}

std::string Milliseconds(double ms, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f ms", decimals, ms);
  return text;
}

std::string Ratio(double ours, double reference) {
  if (!(reference > 0.0) || !std::isfinite(ours)) return "-";
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", ours / reference);
  return text;
}

std::string Verdict(bool holds) {
  return holds ? "holds" : "misses";
}
