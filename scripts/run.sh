#!/usr/bin/env bash
# The run command: installs what is missing, builds into build/, creates the embedded SQLite
# database with demo data on the first start, and starts the program in the data folder.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

scripts/install-deps.sh run build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only what the program needs: the tests and benchmarks are the test command's.
cmake --build build -j2 --target apricot apricot-initdb calc apricot_sqlite

data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/apricot"
mkdir -p "$data_dir"
data_dir=$(cd "$data_dir" && pwd)
if [[ ! -f "$data_dir/connect.txt" ]]; then
  if [[ ! -x build/apricot-initdb ]]; then
    echo "run.sh: build/apricot-initdb was not built, so the database cannot be created." >&2
    exit 1
  fi
  build/apricot-initdb --demo "$data_dir" || {
    echo "run.sh: creating the demo database in $data_dir failed." >&2
    exit 1
  }
  echo "Created the demo database in $data_dir."
fi

if [[ ! -x build/apricot ]]; then
  echo "run.sh: the database in $data_dir is ready, but the program build/apricot has not been built yet, so nothing was started." >&2
  exit 1
fi
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]]; then
  echo "run.sh: there is no display; start it from a desktop session or under xvfb-run (xvfb-run scripts/run.sh)." >&2
  exit 1
fi
# The program reads connect.txt from its working directory.
cd "$data_dir"
exec "$repo/build/apricot" "$@"
