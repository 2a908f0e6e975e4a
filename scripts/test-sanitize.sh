#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer: builds into
# build-asan/ with -DAPRICOT_SANITIZE=ON and runs CTest beside a private PostgreSQL cluster.
# Exits with CTest's status; any sanitizer report fails the test that made it.
# APRICOT_SKIP_PG=1 runs without a cluster (the PostgreSQL tests then skip).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAPRICOT_SANITIZE=ON "${launcher[@]}"
cmake --build build-asan -j2

log=$(mktemp)
trap 'rm -f "$log"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Leak reports are off: Qt keeps plugins, fonts and caches until the process ends, and those
# would drown real findings. Every other finding stops the program.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
status=0
# A sanitized test runs several times slower than a plain one.
scripts/with-pg.sh ctest --test-dir build-asan --output-on-failure --no-tests=error -j2 \
  --timeout 600 2>&1 | tee "$log" || status=$?

echo "== sanitizer reports"
if ! grep -E 'ERROR: AddressSanitizer|runtime error:|SUMMARY: (Address|UndefinedBehavior)Sanitizer' "$log" |
  sort | uniq -c | sort -rn | head -n 40; then
  echo "none"
fi
exit "$status"
