#!/usr/bin/env bash
# The test command: installs what is missing, builds into build/, and runs the whole test
# suite on SQLite and on a private PostgreSQL cluster. Exits with ctest's status.
# APRICOT_SKIP_PG=1 runs without a cluster; the PostgreSQL tests then skip.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

log=$(mktemp)
trap 'rm -f "$log"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Widget tests need no display.
export QT_QPA_PLATFORM=offscreen
status=0
scripts/with-pg.sh ctest --test-dir build --output-on-failure --no-tests=error -j2 2>&1 |
  tee "$log" || status=$?

# Result lines look like " 12/240 Test  #12: Backends/SchemaTest.KeyRejectsSecondCard/SQLite ...   Passed  0.05 sec".
awk '
  /^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
    seen++
    name = $4
    backend = name ~ /PostgreSQL/ ? "PostgreSQL" : name ~ /SQLite/ ? "SQLite" : "others"
    if ($0 ~ /\*\*\*Skipped/) skipped[backend]++
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
exit "$status"
