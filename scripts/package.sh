#!/usr/bin/env bash
# Builds the Debian package in Release into build-release/ and prints the path of the .deb.
# Only what the package holds is built (no tests). Progress goes to stderr, the path to stdout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$(pwd)

scripts/install-deps.sh run build >&2
# dpkg-shlibdeps (dpkg-dev) works out the library dependencies of the package.
command -v dpkg-shlibdeps >/dev/null || {
  echo "package.sh: dpkg-shlibdeps is missing; install the Debian package dpkg-dev." >&2
  exit 1
}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The package target must not wait for the whole tree (tests, benchmarks) to build.
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  "${launcher[@]}" >&2
cmake --build build-release -j2 --target apricot_install_files >&2

rm -f build-release/apricot_*.deb
(cd build-release && cpack -G DEB >&2)
shopt -s nullglob
debs=("$repo"/build-release/apricot_*.deb)
if ((${#debs[@]} != 1)); then
  echo "package.sh: cpack did not leave exactly one apricot_*.deb in build-release/." >&2
  exit 1
fi
echo "${debs[0]}"
