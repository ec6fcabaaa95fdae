#!/usr/bin/env bash
# Configures and builds the project into build/ (warnings are errors).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/compiler-cache.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVEK_WERROR=ON "${compiler_cache[@]}"
cmake --build build -j"$(nproc)"
