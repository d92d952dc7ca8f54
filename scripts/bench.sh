#!/usr/bin/env bash
# Builds the benchmarks (Release, the bench preset), runs every one of them and prints their
# headline figures as one Markdown table. --quick makes each program do a short smoke run.
# Raw outputs go to build/bench/results/<time>/; the path is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=()
for arg in "$@"; do
  case "$arg" in
    --quick) quick=(--quick) ;;
    *)
      echo "usage: scripts/bench.sh [--quick]" >&2
      exit 2
      ;;
  esac
done

scripts/install-deps.sh test

build=build/bench
cmake --preset bench >/dev/null
# The frame benchmark also needs the tests' Xvfb helper and the game's pictures; the build pulls
# both in through its dependencies.
own=(tick_bench bitmap_load_bench decode_picture_bench render_frame_bench)
cmake --build --preset bench --target "${own[@]}"
# The pace programs are written apart from these; a build of theirs that fails leaves them out
# of the table, not the rest.
pace=(tick_pace_bench startup_bench)
for target in "${pace[@]}"; do
  cmake --build --preset bench --target "$target" >/dev/null 2>&1 ||
    echo "note: $target did not build; it is left out" >&2
done

results="$PWD/$build/results/$(date -u +%Y%m%d-%H%M%S)"
mkdir -p "$results"
table="$results/table.tsv"
: >"$table"
export VELMORAK_BENCH_TABLE="$table"

# Google Benchmark's own figures are kept as JSON beside each program's log.
google_flags=()
[ ${#quick[@]} -gt 0 ] && google_flags=(--benchmark_min_time=0.05)

failed=()
run() {
  local name="$1"
  shift
  echo "== $name" >&2
  if ! "$@" >"$results/$name.log" 2>&1; then
    failed+=("$name")
    echo "   failed; see $results/$name.log" >&2
  fi
}

for program in "${own[@]}"; do
  binary="$build/bench/$program"
  if [ ! -x "$binary" ]; then
    echo "note: $binary is missing; it is left out" >&2
    continue
  fi
  run "$program" "$binary" "${quick[@]}" "${google_flags[@]}" \
    --benchmark_out="$results/$program.json" --benchmark_out_format=json
done
for program in "${pace[@]}"; do
  binary="$build/bench/pace/$program"
  [ -x "$binary" ] && run "$program" "$binary" "${quick[@]}"
done

echo
echo "| figure | ours | reference | ratio | goal | verdict |"
echo "|---|---|---|---|---|---|"
awk -F'\t' 'NF >= 6 { printf "| %s | %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5, $6 }' \
  "$table" | tee "$results/table.md"
# The header belongs to the saved table too.
{
  echo "| figure | ours | reference | ratio | goal | verdict |"
  echo "|---|---|---|---|---|---|"
  cat "$results/table.md"
} >"$results/table.md.tmp" && mv "$results/table.md.tmp" "$results/table.md"
echo
misses=$(awk -F'\t' '$6 == "misses"' "$table" | wc -l)
echo "$misses figure(s) miss their goal."
echo "Raw outputs (logs, Google Benchmark JSON, table.tsv, table.md): $results"
if [ ${#failed[@]} -gt 0 ]; then
  echo "These programs failed: ${failed[*]}" >&2
  exit 1
fi
