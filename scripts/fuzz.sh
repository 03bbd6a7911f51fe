#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang into their own folder and runs each for
# a while. The corpora in tests/fuzz/corpus/<target>/ are copied to a scratch folder first, so
# what the fuzzers generate never lands in the source tree. Fails when any target fails.
#   scripts/fuzz.sh [build folder] [seconds per target] [target ...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-fuzz}"
seconds="${2:-60}"
shift $(( $# < 2 ? $# : 2 ))
jobs="${FUZZ_JOBS:-2}"

cmake -S "$here" -B "$build" -G Ninja -DZORVEL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$jobs"
build="$(cd "$build" && pwd)"

if [ $# -gt 0 ]; then targets=("$@"); else mapfile -t targets < "$build/fuzz_targets.txt"; fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failed=()
for t in "${targets[@]}"; do
  [ -n "$t" ] || continue
  corpus="$scratch/$t"
  artifacts="$build/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "$here/tests/fuzz/corpus/$t" ]; then cp -r "$here/tests/fuzz/corpus/$t/." "$corpus/"; fi
  dict=()
  if [ -f "$here/tests/fuzz/$t.dict" ]; then dict=(-dict="$here/tests/fuzz/$t.dict"); fi
  echo "== fuzz_$t for ${seconds}s"
  # -timeout: an input that takes seconds is a finding too; crashes go to $artifacts.
  if ! "$build/fuzz_$t" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
       > "$build/fuzz_$t.log" 2>&1; then
    failed+=("$t")
    tail -n 60 "$build/fuzz_$t.log"
    echo "!! fuzz_$t failed; the input is in $artifacts/, the log in $build/fuzz_$t.log"
  else
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' "$build/fuzz_$t.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "Fuzzing passed: ${targets[*]}"
