#!/usr/bin/env bash
# Installs the Debian packages Apricot needs that are not installed yet.
# Usage: scripts/install-deps.sh [run] [build] [test]   (no group: all of them)
# Quick when everything is there: it asks dpkg only and never touches the network.
set -euo pipefail

# What the program needs to start: Qt with its SVG support (the artwork), the window-system
# plugins, the ODBC driver manager and both drivers, the sqlite3 shell and a CJK font for "SimSun".
run_packages=(
  libqt6widgets6 libqt6gui6 qt6-qpa-plugins libqt6svg6 libqt6printsupport6 libqt6charts6
  unixodbc libsqliteodbc odbc-postgresql libsodium23 libquazip1-qt6-1
  sqlite3 fonts-wqy-microhei qt6-translations-l10n
)
# What building the program and its tests needs: gcc for the program, clang for the fuzzers,
# dpkg-dev for the Debian package.
build_packages=(
  build-essential cmake pkg-config dpkg-dev clang-14 libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev qt6-charts-dev unixodbc-dev libsqlite3-dev libsodium-dev
  libquazip1-qt6-dev
  golang-github-mozillazg-go-pinyin-dev
  googletest libgtest-dev libgmock-dev
)
# What the test command and a look at the program need: the PostgreSQL 15 server
# that the private test cluster runs on, a virtual display with screenshots, and a reader of
# the PDF files the program writes.
test_packages=(
  postgresql-15 postgresql-client-15
  xvfb xauth imagemagick xdotool x11-utils desktop-file-utils poppler-utils
)

groups=("$@")
((${#groups[@]})) || groups=(run build test)
wanted=()
for group in "${groups[@]}"; do
  case "$group" in
  run) wanted+=("${run_packages[@]}") ;;
  build) wanted+=("${build_packages[@]}") ;;
  test) wanted+=("${test_packages[@]}") ;;
  *)
    echo "install-deps.sh: unknown group '$group' (use run, build or test)" >&2
    exit 2
    ;;
  esac
done

# One dpkg-query for all of them; unknown names print nothing and count as missing.
installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${wanted[@]}" 2>/dev/null |
  awk '$2 == "installed" { print $1 }' || true)
missing=()
for package in "${wanted[@]}"; do
  grep -qxF "$package" <<<"$installed" || missing+=("$package")
done
((${#missing[@]})) || exit 0

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "install-deps.sh: these packages are missing and installing them needs root or sudo:" >&2
  echo "  ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
# Never stop to ask: keep changed configuration files, wait for another apt to finish.
apt_get=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive
  apt-get -y -q -o DPkg::Lock::Timeout=300 -o Dpkg::Use-Pty=0
  -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold)
# The package lists on a new machine may be missing or stale; refresh them only then.
if ! "${apt_get[@]}" install "${missing[@]}"; then
  echo "Install failed; updating the package lists and trying again."
  "${apt_get[@]}" update
  "${apt_get[@]}" install "${missing[@]}"
fi
