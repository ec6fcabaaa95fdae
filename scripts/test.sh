#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test: on Linux, then with
# the sanitizers and the fuzz targets, then the Windows build under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# Beside a throwaway PostgreSQL server, so that the archive's suites try
# both of its backends.
scripts/with-postgres.sh ctest --test-dir build --output-on-failure -j"$(nproc)"
scripts/test-sanitizers.sh
scripts/test-windows.sh
