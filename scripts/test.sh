#!/usr/bin/env bash
# Sets up a fresh machine with every package the project uses, builds, and
# runs every test: on Linux, then with the sanitizers and the fuzz targets,
# then the Windows build under wine.
# Prints how long each step took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() {
    local name=$1 begun=$SECONDS
    shift
    "$@"
    echo "test: $name in $((SECONDS - begun)) s"
}
step packages scripts/install-deps.sh
step "Linux build" scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# Beside a throwaway PostgreSQL server, so that the archive's suites try
# both of its backends.
step "Linux tests" scripts/with-postgres.sh ctest --test-dir build --output-on-failure -j"$(nproc)"
step "sanitizers and fuzzing" scripts/test-sanitizers.sh
step Windows scripts/test-windows.sh
echo "test: all in $((SECONDS - started)) s"
