#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL 15 server: a new cluster in a
# temporary folder, run by an unprivileged user (nobody, when started as
# root), reached through a Unix socket in that folder and on 127.0.0.1 at a
# free port (Windows programs under wine have no Unix socket). The command
# finds the server in ZORVEK_TEST_POSTGRES (by the socket) and
# ZORVEK_TEST_POSTGRES_TCP (by TCP, TLS offered), database "zorvek", role "zorvek" (a
# superuser: the archive's tests make and drop a database each, so that
# `ctest -j` runs them side by side), no password (members of the archive's
# group roles give theirs); the server is stopped
# and the folder removed however the command ends.
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

# The server speaks TLS too, with a certificate for "localhost" signed by a
# certificate authority made here, which ZORVEK_TEST_POSTGRES_CA names:
# clients that verify the server (sslmode=verify-full) trust that one.
if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=zorvek test authority" \
    -keyout "$dir/ca.key" -out "$dir/ca.crt" >"$dir/tls.log" 2>&1 ||
    ! openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
        -keyout "$dir/server.key" -out "$dir/server.csr" >>"$dir/tls.log" 2>&1 ||
    ! openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" \
        -CAcreateserial -days 2 -extfile <(echo "subjectAltName=DNS:localhost") \
        -out "$dir/server.crt" >>"$dir/tls.log" 2>&1; then
    cat "$dir/tls.log" >&2
    exit 1
fi
chmod 600 "$dir/server.key"
[ "$(id -u)" -ne 0 ] || chown nobody "$dir/server.key"

# initdb's trust covers the local socket and 127.0.0.1 alike.
if ! as_owner "$bin/initdb" -D "$dir/data" -U zorvek --auth=trust -E UTF8 --locale=C \
    >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    exit 1
fi
# Members of the archive's group roles log in by password, as engineers do
# on a company's server (their ~/.pgpass is part of what is tested); every
# other role, the superuser "zorvek" among them, is trusted.
sed -i '1i local all +zorvek_writer,+zorvek_reader scram-sha-256\nhost all +zorvek_writer,+zorvek_reader 127.0.0.1/32 scram-sha-256' \
    "$dir/data/pg_hba.conf"
# A port nothing answers on; another server may still take it before ours
# starts, so a failed start tries the next one.
started=no
for _ in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 40000))
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then continue; fi
    if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c ssl=on \
        -c ssl_cert_file=$dir/server.crt -c ssl_key_file=$dir/server.key" start >/dev/null; then
        started=yes
        break
    fi
done
if [ "$started" != yes ]; then
    cat "$dir/server.log" >&2
    exit 1
fi
"$bin/createdb" -h "$dir" -p "$port" -U zorvek zorvek

export ZORVEK_TEST_POSTGRES="postgresql://zorvek@/zorvek?host=$dir&port=$port"
export ZORVEK_TEST_POSTGRES_TCP="postgresql://zorvek@127.0.0.1:$port/zorvek"
export ZORVEK_TEST_POSTGRES_CA="$dir/ca.crt"
status=0
"$@" || status=$?
exit "$status"
