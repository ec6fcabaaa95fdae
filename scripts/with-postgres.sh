#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL 15 server: a new cluster in a
# temporary folder, reached only through a Unix socket in that folder, run
# by an unprivileged user (nobody, when started as root). The command finds
# the server in ZORVEK_TEST_POSTGRES (database "zorvek", role "zorvek");
# the server is stopped and the folder removed however the command ends.
#
#   scripts/with-postgres.sh ctest --test-dir build -R archive
set -euo pipefail
if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGUMENT...]" >&2
    exit 1
fi
bin=/usr/lib/postgresql/15/bin
if [ ! -x "$bin/initdb" ]; then
    echo "$0: no PostgreSQL 15 server (Debian package postgresql-15)" >&2
    exit 1
fi

# The socket's path must stay short (107 bytes at most).
dir=$(mktemp -d /tmp/zorvek-pg.XXXXXX)
as_owner() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
    # The server refuses to run as root.
    chown nobody "$dir"
    as_owner() { runuser -u nobody -- "$@"; }
fi
stop() {
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap stop EXIT
trap 'exit 130' INT TERM

if ! as_owner "$bin/initdb" -D "$dir/data" -U zorvek --auth=trust -E UTF8 --locale=C \
    >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    exit 1
fi
if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -k $dir" start >/dev/null; then
    cat "$dir/server.log" >&2
    exit 1
fi
"$bin/createdb" -h "$dir" -U zorvek zorvek

export ZORVEK_TEST_POSTGRES="postgresql://zorvek@/zorvek?host=$dir"
status=0
"$@" || status=$?
exit "$status"
