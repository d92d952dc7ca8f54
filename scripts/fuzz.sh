#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time.
#   scripts/fuzz.sh            about 40 s a target (what the test command runs)
#   scripts/fuzz.sh 3600       an hour a target, for a long run
#   scripts/fuzz.sh 600 rules_fuzz   one target only
# New inputs collect in build/fuzz/corpus/<target>; the BMP corpus beside the project seeds the
# picture targets when it is there. A crash leaves its input in build/fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
seconds=${1:-40}
shift || true
scripts/install-deps.sh test
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(cd build/fuzz/fuzz && ls -- *_fuzz))
fi
seeds=()
for d in g q b x; do
  [ -d ../shared/bmpsuite/$d ] && seeds+=("$top/../shared/bmpsuite/$d")
done
[ ${#seeds[@]} -gt 0 ] || echo "no ../shared/bmpsuite here: the picture fuzzers start from an empty corpus"

mkdir -p build/fuzz/crashes
status=0
for t in "${targets[@]}"; do
  corpus=$top/build/fuzz/corpus/$t
  mkdir -p "$corpus"
  extra=()
  case $t in
    bitmap_* | picture_*) extra=("${seeds[@]}") ;;
    rules_*) extra=(-max_len=512) ;;  # a few hundred steps reach every rule; longer only slows
  esac
  echo "== $t for ${seconds}s"
  # Leak checks stay on; rss_limit guards against the loader or decoder asking for absurd sizes.
  if ! ASAN_OPTIONS=allocator_may_return_null=0 \
      "build/fuzz/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 \
      -artifact_prefix="$top"/build/fuzz/crashes/"$t"- -print_final_stats=1 \
      "$corpus" "${extra[@]}" 2>build/fuzz/"$t".log; then
    status=1
    tail -n 40 build/fuzz/"$t".log
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' build/fuzz/"$t".log | sed "s/^/$t /" || true
done
exit $status
