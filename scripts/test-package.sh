#!/usr/bin/env bash
# Installs the Debian package with apt-get (as root, or through sudo), checks what it put where,
# and starts the installed program as a new user would: offscreen, and under Xvfb up to its
# login window and, with the first operator's password, its main window.
# Usage: scripts/test-package.sh [PACKAGE.deb]   (without one, scripts/package.sh builds it)
# Afterwards the package is removed again unless it was installed before; the test user's
# home is a temporary folder that is removed too. Exits non-zero on the first failed check.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo -n)
else
  echo "test-package.sh: installing a package needs root or sudo." >&2
  exit 1
fi
apt_get=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive
  apt-get -y -q -o DPkg::Lock::Timeout=300 -o Dpkg::Use-Pty=0)

if (($# > 1)); then
  echo "usage: scripts/test-package.sh [PACKAGE.deb]" >&2
  exit 2
fi
deb=${1:-}
[[ -n "$deb" ]] || deb=$(scripts/package.sh)
[[ -f "$deb" ]] || {
  echo "test-package.sh: no package file $deb" >&2
  exit 1
}
deb=$(readlink -f "$deb")

# The test needs a virtual display and a way to find and type into windows.
scripts/install-deps.sh test >/dev/null

home=$(mktemp -d /tmp/apricot-pkg-home.XXXXXX)
was_installed=0
dpkg-query -W -f='${db:Status-Status}' apricot 2>/dev/null | grep -qx installed && was_installed=1
pid=
# shellcheck disable=SC2317 # called from the trap
cleanup() {
  [[ -z "$pid" ]] || kill "$pid" 2>/dev/null || true
  rm -rf "$home"
  if ((was_installed == 0)) && dpkg-query -W apricot >/dev/null 2>&1; then
    "${apt_get[@]}" purge apricot >/dev/null || echo "test-package.sh: could not remove apricot" >&2
  fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

failures=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then
    echo "ok   $1"
  else
    echo "FAIL $1"
    failures=$((failures + 1))
  fi
}

# apt-get takes a local file only when the name holds a slash.
if ! "${apt_get[@]}" install "$deb"; then
  echo "test-package.sh: apt-get could not install $deb (refreshing the package lists once)." >&2
  "${apt_get[@]}" update
  "${apt_get[@]}" install "$deb"
fi

echo "== files"
check "launcher /usr/bin/apricot" test -x /usr/bin/apricot
check "program /usr/lib/apricot/apricot" test -x /usr/lib/apricot/apricot
check "set-up command /usr/bin/apricot-initdb" test -x /usr/bin/apricot-initdb
check "calculator beside the program" test -x /usr/lib/apricot/tools/calc
check "manual beside the program" test -s /usr/lib/apricot/help/apricot.html
check "SQLite extension beside the set-up command" test -f /usr/lib/apricot/apricot_sqlite.so
check "icon in the hicolor theme" test -f /usr/share/icons/hicolor/scalable/apps/apricot.svg
desktop=/usr/share/applications/apricot.desktop
check "desktop entry" test -f "$desktop"
check "desktop entry starts the launcher" grep -qx 'Exec=/usr/bin/apricot' "$desktop"
check "desktop entry's Chinese name" grep -qx 'Name\[zh_CN\]=青杏药店进销存管理系统' "$desktop"
check "desktop entry's categories" grep -qx 'Categories=Office;Finance;' "$desktop"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry is valid" desktop-file-validate "$desktop"
fi
check "every library the program needs is there" \
  bash -c '! ldd /usr/lib/apricot/apricot /usr/lib/apricot/apricot-initdb /usr/lib/apricot/tools/calc | grep -q "not found"'

# A new user: nothing but an empty home folder.
user_env=(env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8)
data="$home/.local/share/apricot"

echo "== first start, offscreen"
"${user_env[@]}" QT_QPA_PLATFORM=offscreen /usr/bin/apricot >"$home/offscreen.log" 2>&1 &
pid=$!
sleep 3
check "program still runs after 3 s" kill -0 "$pid"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=
check "embedded database created" test -s "$data/apricot.db"
check "connect.txt names the installed extension" \
  grep -q 'LoadExt=/usr/lib/apricot/apricot_sqlite.so;' "$data/connect.txt"
no_sales() {
  [[ $(sqlite3 -cmd '.load /usr/lib/apricot/apricot_sqlite' "$data/apricot.db" 'SELECT COUNT(*) FROM 销') == 0 ]]
}
check "new books hold no demo sales" no_sales

echo "== second start, under Xvfb: login window, then the main window"
# Started again on the same books: the first start's database is kept, not recreated.
cat >"$home/drive.sh" <<'EOF'
#!/bin/bash
# Runs inside xvfb-run: start the program, wait for a window by its title, log in.
set -u
/usr/bin/apricot >"$HOME/xvfb.log" 2>&1 &
program=$!
wait_window() { timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
status=0
login=$(wait_window '登陆对话框')
if [[ -n "$login" ]]; then
  echo "login window $login"
  # The first operator is preselected and the password box has the focus.
  xdotool windowfocus --sync "$login" 2>/dev/null
  xdotool type --delay 50 737
  xdotool key Return
  # The first login with the initial password offers to change it: 否 (Alt+N) keeps it.
  question=$(wait_window 'apricot')
  if [[ -n "$question" ]]; then
    xdotool windowfocus --sync "$question" 2>/dev/null
    xdotool key alt+n
  fi
  main=$(wait_window '青杏药店进销存管理系统 v1.0')
  if [[ -n "$main" ]]; then echo "main window $main"; else status=2; fi
else
  status=1
fi
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
exit "$status"
EOF
xstatus=0
"${user_env[@]}" xvfb-run -a -s "-screen 0 1280x1024x24" bash "$home/drive.sh" || xstatus=$?
check "login window shows" test "$xstatus" != 1
check "password 737 opens the main window" test "$xstatus" = 0
if ((xstatus != 0)); then
  echo "-- program output:"
  cat "$home/xvfb.log" || true
fi

if ((failures)); then
  echo "test-package.sh: $failures check(s) failed."
  exit 1
fi
echo "test-package.sh: the package installs and the installed program starts to its login."
