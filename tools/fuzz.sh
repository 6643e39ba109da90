#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (AddressSanitizer and
# UBSan included) and runs each for SECONDS (default 60) from its committed
# seed corpus. Exits non-zero when any target finds a crash, a leak, a
# timeout or undefined behaviour; the input that did it is kept under
# $DARVELLE_FUZZ_BUILD_DIR/findings (default build-fuzz/findings).
#
#   bash tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${DARVELLE_FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(catalogue computation settings window_settings coastlines texture arguments local places towns gis)
fi

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  "${launcher[@]}" -DDARVELLE_FUZZ=ON -DDARVELLE_BUILD_TESTS=OFF -DDARVELLE_BUILD_BENCH=OFF \
  -DDARVELLE_BUILD_UI=OFF -DDARVELLE_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# The fuzzer adds what it learns to a working corpus of its own; the
# committed seeds are only read.
failed=()
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  findings="$build/findings"
  mkdir -p "$work" "$findings"
  echo "== fuzz_$target for ${seconds} s"
  # -rss_limit_mb: a damaged file must never cost more than this; -timeout:
  # no single input may take longer (a hang is a finding).
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
       LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" \
       "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" \
       "$work" "$here/tests/fuzz/corpus/$target" 2>"$build/fuzz_$target.log"; then
    failed+=("$target")
    tail -n 40 "$build/fuzz_$target.log"
  fi
  grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$build/fuzz_$target.log" | tail -n 2 || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs in $build/findings)" >&2
  exit 1
fi
echo "Fuzzing: no findings."
