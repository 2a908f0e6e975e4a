#!/usr/bin/env bash
# Runs a command beside a private PostgreSQL 15 cluster and exits with the command's status.
# The cluster lives in a fresh folder under /tmp, listens only on a Unix socket there, trusts
# every local user, holds an empty database apricot_test, and is removed when the command ends,
# fails or is interrupted. The command finds it in APRICOT_PG_CONNECT (an ODBC connection string).
# With APRICOT_SKIP_PG=1 no cluster is started and the PostgreSQL tests skip.
# Example: scripts/with-pg.sh build/tests/db/db_tests --gtest_filter='*PostgreSQL'
set -euo pipefail

if (($# == 0)); then
  echo "usage: scripts/with-pg.sh COMMAND [ARG...]" >&2
  exit 2
fi

if [[ "${APRICOT_SKIP_PG:-}" == 1 ]]; then
  echo "APRICOT_SKIP_PG=1: no PostgreSQL cluster is started; the PostgreSQL tests will skip." >&2
  export APRICOT_SKIP_PG
  exec "$@"
fi

pg_bin=/usr/lib/postgresql/15/bin
port=54329 # any number will do: the socket sits in our own folder, so it cannot clash

fail() {
  echo "with-pg.sh: $*" >&2
  echo "with-pg.sh: set APRICOT_SKIP_PG=1 to run without the PostgreSQL tests." >&2
  exit 1
}

[[ -x "$pg_bin/pg_ctl" ]] || fail "PostgreSQL 15 is not installed ($pg_bin/pg_ctl is missing)."

# /tmp rather than $TMPDIR: a socket path must stay short, and the postgres user must reach it.
dir=$(mktemp -d /tmp/apricot-pg.XXXXXX)
# shellcheck disable=SC2317 # called from the trap
cleanup() {
  if [[ -f "$dir/data/postmaster.pid" ]]; then
    as_owner "$pg_bin/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null 2>&1 ||
      as_owner "$pg_bin/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1 ||
      echo "with-pg.sh: could not stop the PostgreSQL test cluster in $dir" >&2
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# root may not run a PostgreSQL server: the cluster then belongs to the postgres user.
if ((EUID == 0)); then
  role=postgres
  chown postgres: "$dir"
  as_owner() { (cd "$dir" && runuser -u postgres -- "$@"); }
else
  role=$(id -un)
  as_owner() { (cd "$dir" && "$@"); }
fi

as_owner "$pg_bin/initdb" -D "$dir/data" -U "$role" -A trust -E UTF8 --locale=C.UTF-8 -N \
  >"$dir/initdb.log" 2>&1 || {
  cat "$dir/initdb.log" >&2
  fail "initdb could not create the PostgreSQL test cluster."
}
# A throw-away cluster: no TCP, and no waiting for the disk.
cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$dir'
port = $port
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
as_owner "$pg_bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null || {
  cat "$dir/server.log" >&2 || true
  fail "the PostgreSQL test cluster did not start."
}
"$pg_bin/createdb" -h "$dir" -p "$port" -U "$role" apricot_test ||
  fail "could not create the database apricot_test in the PostgreSQL test cluster."

# psqlODBC takes a socket folder as the server name.
export APRICOT_PG_CONNECT="Driver=PostgreSQL Unicode;Servername=$dir;Port=$port;Database=apricot_test;Username=$role;"
echo "PostgreSQL test cluster: $APRICOT_PG_CONNECT" >&2

status=0
"$@" || status=$?
exit "$status"
