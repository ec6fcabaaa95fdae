#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64 into build-windows/ and tests
# them under wine: every suite that is not about a POSIX mechanism, the same
# documents as the Linux build byte for byte, the archive on a PostgreSQL
# server, the window on a virtual display, and the installer. Run after
# scripts/build.sh (the comparison and the archive's check need the Linux
# zorvek-cli).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
started=$SECONDS
prefix=$(scripts/windows-deps.sh)
echo "test-windows: libraries ready in $((SECONDS - started)) s ($prefix)"

export WINEDEBUG=-all
# The first run of wine makes its prefix; do it before the build runs test
# programs to list their tests.
wineboot --init >/dev/null 2>&1 || true

step=$SECONDS
source scripts/compiler-cache.sh
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DZORVEK_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVEK_WERROR=ON \
    "${compiler_cache[@]}"
cmake --build build-windows -j"$(nproc)"
echo "test-windows: built in $((SECONDS - step)) s"

step=$SECONDS
# ctest starts hundreds of short wine programs. A wine server quits a moment
# after its last program ends, and one that is quitting as the next program
# connects fails that program at once ("recvmsg: Connection reset by
# peer"): a test that fails so is run once more. Each suite also runs on
# Linux, where no test is given a second try.
# Beside a throwaway PostgreSQL server, so that the archive's suites try
# both backends; wine's programs reach it by TCP, and the certificate
# authority's file by its Windows name.
scripts/with-postgres.sh bash -c 'ZORVEK_TEST_POSTGRES=$ZORVEK_TEST_POSTGRES_TCP \
    ZORVEK_TEST_POSTGRES_CA=$(winepath -w "$ZORVEK_TEST_POSTGRES_CA" | tr "\\\\" /) \
    exec ctest --test-dir build-windows --output-on-failure -j"$(nproc)" --repeat until-pass:2'
echo "test-windows: tests under wine in $((SECONDS - step)) s"

step=$SECONDS
scripts/windows-parity.sh
scripts/with-postgres.sh scripts/windows-archive.sh
scripts/windows-installer.sh
scripts/windows-window.sh
echo "test-windows: parity, shared archive, installer and window in $((SECONDS - step)) s"
echo "test-windows: all in $((SECONDS - started)) s"
