#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64 into build-windows/ and runs
# their tests under wine. What Debian packages for mingw-w64 allows is built:
# the core (the data model, the memory access with its Windows device
# backends, the twins' library) and its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export WINEDEBUG=-all
# The first run of wine makes its prefix; do it before the build runs test
# programs to list their tests.
wineboot --init >/dev/null 2>&1 || true
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVEK_WERROR=ON
cmake --build build-windows -j"$(nproc)"
ctest --test-dir build-windows --output-on-failure -j"$(nproc)"
