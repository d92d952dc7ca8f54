// The statistics, the --quick switch and the table rows that every benchmark's figures rest on.
#include "bench_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "files.h"
#include "temp_folder.h"

namespace {

struct PercentileCase {
  const char* name;
  std::vector<double> values;
  double fraction;
  double expected;
};

class PercentileTable : public testing::TestWithParam<PercentileCase> {};

TEST_P(PercentileTable, NearestRank) {
  Samples samples;
  for (double v : GetParam().values) samples.Add(v);
  EXPECT_DOUBLE_EQ(samples.Percentile(GetParam().fraction), GetParam().expected);
}

std::vector<double> OneToHundredBackwards() {
  std::vector<double> values;
  for (int i = 100; i >= 1; --i) values.push_back(i);
  return values;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, PercentileTable,
    testing::Values(PercentileCase{"empty", {}, 0.5, 0.0},
                    PercentileCase{"single", {7.0}, 0.99, 7.0},
                    PercentileCase{"median_of_odd_count", {3.0, 1.0, 2.0}, 0.5, 2.0},
                    // Nearest rank takes the lower middle of an even count, never a mean.
                    PercentileCase{"median_of_even_count", {4.0, 1.0, 3.0, 2.0}, 0.5, 2.0},
                    PercentileCase{"median_of_hundred", OneToHundredBackwards(), 0.5, 50.0},
                    PercentileCase{"p99_of_hundred", OneToHundredBackwards(), 0.99, 99.0},
                    PercentileCase{"all_of_hundred", OneToHundredBackwards(), 1.0, 100.0},
                    PercentileCase{"none_of_hundred", OneToHundredBackwards(), 0.0, 1.0},
                    // With fewer than 100 samples the 99th percentile is the slowest one.
                    PercentileCase{"p99_of_few", {5.0, 9.0, 1.0}, 0.99, 9.0}),
    [](const testing::TestParamInfo<PercentileCase>& info) { return info.param.name; });

struct QuickCase {
  const char* name;
  std::vector<std::string> arguments;
  bool quick;
  std::vector<std::string> left;
};

class QuickFlagTable : public testing::TestWithParam<QuickCase> {};

TEST_P(QuickFlagTable, TakesOnlyTheSwitch) {
  std::vector<std::string> storage = GetParam().arguments;
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  int argc = static_cast<int>(argv.size());
  EXPECT_EQ(TakeQuickFlag(&argc, argv.data()), GetParam().quick);
  std::vector<std::string> left(argv.begin(), argv.begin() + argc);
  EXPECT_EQ(left, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, QuickFlagTable,
    testing::Values(QuickCase{"absent",
                              {"bench", "--benchmark_filter=x"},
                              false,
                              {"bench", "--benchmark_filter=x"}},
                    QuickCase{"first", {"bench", "--quick", "--x"}, true, {"bench", "--x"}},
                    QuickCase{"last", {"bench", "--x", "--quick"}, true, {"bench", "--x"}},
                    QuickCase{"twice", {"bench", "--quick", "--quick"}, true, {"bench"}},
                    // The program's own name is never an option, whatever it is called.
                    QuickCase{"program_name", {"--quick"}, false, {"--quick"}},
                    QuickCase{"lookalike", {"bench", "--quicker"}, false, {"bench", "--quicker"}}),
    [](const testing::TestParamInfo<QuickCase>& info) { return info.param.name; });

// scripts/bench.sh gathers every program's rows into one file: each row must add a line and
// keep the ones before it.
TEST(TableRows, AppendTabSeparatedLines) {
  ScratchFolder folder("velmorak-table");
  const std::string path = folder.Path("table.tsv");
  setenv("VELMORAK_BENCH_TABLE", path.c_str(), 1);
  AddTableRow({"first", "1 ms", "2 ms", "0.500", "<= 1", "holds"});
  AddTableRow({"second", "3 ms", "-", "-", "report only", "-"});
  unsetenv("VELMORAK_BENCH_TABLE");
  EXPECT_EQ(ReadWholeFile(path),
            "first\t1 ms\t2 ms\t0.500\t<= 1\tholds\n"
            "second\t3 ms\t-\t-\treport only\t-\n");
}

TEST(TableRows, UnwritableTableIsNoCrash) {
  setenv("VELMORAK_BENCH_TABLE", "/nonexistent-folder/table.tsv", 1);
  AddTableRow({"figure", "1", "1", "1", "1", "holds"});
  unsetenv("VELMORAK_BENCH_TABLE");
}

}  // namespace
