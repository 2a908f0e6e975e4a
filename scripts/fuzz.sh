#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded time on
# its seed corpus (tests/fuzz/corpus/<target>/). Exits non-zero when any target finds a crash,
# a sanitizer report or a broken property; the input that did it is left in
# build-fuzz/artifacts/ and its path is printed.
# FUZZ_SECONDS: time per target (default 20). Arguments: target names to run (default all).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${FUZZ_SECONDS:-20}
[[ "$seconds" =~ ^[0-9]+$ ]] || {
  echo "fuzz.sh: FUZZ_SECONDS must be a whole number of seconds" >&2
  exit 2
}
all_targets=(fuzz_datetime fuzz_sort_number fuzz_sql_literal fuzz_html fuzz_number_fields)
targets=("$@")
((${#targets[@]})) || targets=("${all_targets[@]}")

scripts/install-deps.sh build >/dev/null
cc=$(command -v clang-14 || command -v clang || true)
cxx=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z "$cc" || -z "$cxx" ]]; then
  echo "fuzz.sh: clang is missing; install the Debian package clang-14." >&2
  exit 1
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAPRICOT_FUZZ=ON \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" "${launcher[@]}" >/dev/null

# A target whose code is not in the tree yet is not defined; say so rather than fail.
available=()
for target in "${targets[@]}"; do
  if grep -q "^$target:" <(cmake --build build-fuzz --target help | sed 's/^\.\.\. //; s/ .*//; s/$/:/'); then
    available+=("$target")
  else
    echo "fuzz.sh: $target is not defined in this tree; skipped." >&2
  fi
done
((${#available[@]})) || {
  echo "fuzz.sh: nothing to run." >&2
  exit 1
}
cmake --build build-fuzz -j2 --target "${available[@]}"

mkdir -p build-fuzz/artifacts
# Make undefined behaviour fatal, and report what libFuzzer needs to tell a crash from a leak.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-}
export QT_QPA_PLATFORM=offscreen
status=0
summary=()
for target in "${available[@]}"; do
  seeds=tests/fuzz/corpus/$target
  # New inputs go to a working corpus in the build folder; the seeds in the repo stay as they are.
  work=build-fuzz/corpus/$target
  mkdir -p "$work"
  log=build-fuzz/artifacts/$target.log
  echo "== $target: ${seconds}s on $seeds"
  if build-fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
    "$work" "$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary+=("$target: ok, ${runs:-?} runs")
  else
    status=1
    grep -E '^(fuzz_[a-z_]+:|==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -n 5 >&2 || true
    artifact=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
    summary+=("$target: FAILED, input ${artifact:-?} (log $log)")
  fi
done
echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$status"
