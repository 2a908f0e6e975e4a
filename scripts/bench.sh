#!/usr/bin/env bash
# Builds in Release into build-release/ and runs every benchmark program (bench_*) there.
# Each benchmark prints "name value" lines. Exits non-zero when a benchmark fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh run build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
cmake --build build-release -j2

mapfile -t benches < <(find build-release -maxdepth 2 -name CMakeFiles -prune -o \
  -type f -name 'bench_*' -perm -u+x -print | sort)
if ((${#benches[@]} == 0)); then
  echo "No benchmark programs (bench_*) were built, so there is nothing to run."
  exit 0
fi
status=0
for bench in "${benches[@]}"; do
  echo "== $bench"
  if [[ "$(basename "$bench")" == bench_counters ]]; then
    # Counters share server books: new ones on a private cluster, eight counters of 300 sales;
    # then again on new books, every sale scanning a trace code that two counters share.
    for codes in "" --codes; do
      scripts/with-pg.sh bash -c 'build-release/apricot-initdb --connect "$APRICOT_PG_CONNECT" >/dev/null &&
        "$0" --connect "$APRICOT_PG_CONNECT" --counters 8 --sales 300 $1' "$bench" "$codes" ||
        { echo "bench.sh: $bench $codes failed" >&2; status=1; }
    done
    continue
  fi
  if [[ "$(basename "$bench")" =~ ^bench_(entries|trace|import)$ ]]; then
    # On SQLite and on a private cluster's server books the bench makes itself.
    scripts/with-pg.sh "$bench" || { echo "bench.sh: $bench failed" >&2; status=1; }
    continue
  fi
  "$bench" || { echo "bench.sh: $bench failed" >&2; status=1; }
  if [[ "$(basename "$bench")" == bench_grid ]]; then
    # The same million sales on server books, in a process of its own, on a private cluster.
    scripts/with-pg.sh bash -c 'build-release/apricot-initdb --connect "$APRICOT_PG_CONNECT" >/dev/null &&
      "$0" --connect "$APRICOT_PG_CONNECT"' "$bench" ||
      { echo "bench.sh: $bench --connect failed" >&2; status=1; }
  fi
done
exit "$status"
