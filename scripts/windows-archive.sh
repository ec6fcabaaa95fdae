#!/usr/bin/env bash
# The Windows programs' shared archive on a real server: zorvek-cli.exe under
# wine stores the sample in the PostgreSQL database that
# ZORVEK_TEST_POSTGRES_TCP names, lists it and exports it byte for byte, and
# the Linux zorvek-cli finds the same read-out there through the server's
# socket. Run after scripts/build.sh and the Windows build:
#
#   scripts/with-postgres.sh scripts/windows-archive.sh
set -euo pipefail
cd "$(dirname "$0")/.."
: "${ZORVEK_TEST_POSTGRES_TCP:?run it under scripts/with-postgres.sh}"
export WINEDEBUG=-all
cli=build-windows/bin/zorvek-cli.exe
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

fail() {
    echo "windows-archive: $*" >&2
    exit 1
}

# The database's owner makes the archive once; the programs only use it.
ZORVEK_ARCHIVE=$ZORVEK_TEST_POSTGRES_TCP wine "$cli" archive init >/dev/null ||
    fail "zorvek-cli.exe could not make the archive on the server"
ZORVEK_ARCHIVE=$ZORVEK_TEST_POSTGRES_TCP wine "$cli" archive add \
    "$(winepath -w samples/dannie.krd)" --note "wine" >/dev/null ||
    fail "zorvek-cli.exe could not store the sample on the server"
listed=$(ZORVEK_ARCHIVE=$ZORVEK_TEST_POSTGRES_TCP wine "$cli" archive list --format csv)
grep -q '^1,41328-к,' <<<"$listed" || fail "zorvek-cli.exe does not list it: $listed"
ZORVEK_ARCHIVE=$ZORVEK_TEST_POSTGRES_TCP wine "$cli" archive export 1 \
    --out "$(winepath -w "$folder/back.krd")" >/dev/null
cmp -s samples/dannie.krd "$folder/back.krd" || fail "the exported image differs from the sample"
shown=$(ZORVEK_ARCHIVE=$ZORVEK_TEST_POSTGRES build/bin/zorvek-cli archive show 1 --format json)
grep -q '"note": "wine"' <<<"$shown" || fail "the Linux program does not see it: $shown"
echo "windows-archive: stored, listed and exported by zorvek-cli.exe, seen from Linux"
