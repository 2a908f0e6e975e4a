#!/usr/bin/env bash
# The test command. Installs what is missing, then:
#   1. builds everything into build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer
#      and runs the whole test suite there: on SQLite and on a private PostgreSQL cluster, the
#      widget tests offscreen, the black-box test of the real program under Xvfb;
#   2. builds the Debian package, installs it with apt-get and starts the installed program;
#   3. runs every fuzzer for a bounded time (FUZZ_SECONDS, default 15) on its corpus.
# Exits non-zero when any stage fails; every stage runs, so one failure hides no other.
# APRICOT_SKIP_PG=1 runs without a cluster; the PostgreSQL tests then skip.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

log=$(mktemp)
trap 'rm -f "$log"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

failed=()
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  if "$@"; then
    echo "== $name: passed in $((SECONDS - start)) s"
  else
    echo "== $name: FAILED after $((SECONDS - start)) s"
    failed+=("$name")
  fi
}

suite() {
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAPRICOT_SANITIZE=ON "${launcher[@]}" &&
    cmake --build build-asan -j2 || return 1
  # Leak reports are off: Qt keeps plugins, fonts and caches until the process ends, and
  # those would drown real findings. Every other finding fails the test that made it.
  ASAN_OPTIONS=detect_leaks=0:strict_string_checks=1:detect_stack_use_after_return=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
    scripts/with-pg.sh ctest --test-dir build-asan --output-on-failure --no-tests=error -j2 \
    --timeout 600 2>&1 | tee "$log"
}

stage "test suite (sanitized)" suite

# Result lines look like " 12/240 Test  #12: Backends/SchemaTest.KeyRejectsSecondCard/SQLite ...   Passed  0.05 sec".
awk '
  /^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
    seen++
    name = $4
    backend = name ~ /PostgreSQL/ ? "PostgreSQL" : name ~ /SQLite/ ? "SQLite" : "others"
    if ($0 ~ /\*\*\*Skipped|Not Run \(Disabled\)/) skipped[backend]++
    else if ($0 ~ / Passed /) passed[backend]++
    else failed[backend]++
  }
  END {
    if (!seen) exit
    line = "Tests by backend:"
    n = split("SQLite PostgreSQL others", names, " ")
    for (i = 1; i <= n; i++) {
      b = names[i]
      if (b == "others" && passed[b] + failed[b] + skipped[b] == 0) continue
      line = line sprintf(" %s %d ran (%d failed), %d skipped;", b,
                          passed[b] + failed[b], failed[b], skipped[b])
    }
    sub(/;$/, ".", line)
    print line
  }' "$log"
if grep -qE 'ERROR: AddressSanitizer|runtime error:' "$log"; then
  echo "Sanitizer reports:"
  grep -E 'ERROR: AddressSanitizer|runtime error:' "$log" | sort | uniq -c | sort -rn | head -n 20
fi

stage "Debian package" scripts/test-package.sh
export FUZZ_SECONDS=${FUZZ_SECONDS:-15}
stage "fuzzers" scripts/fuzz.sh

if ((${#failed[@]})); then
  echo "Failed: ${failed[*]}"
  exit 1
fi
echo "All stages passed."
