#!/usr/bin/env bash
# Configures and builds the sanitizer tree build-sanitize/: clang with
# AddressSanitizer and UBSan, and libFuzzer's targets. Builds the targets
# named as arguments, or everything.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/compiler-cache.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DZORVEK_SANITIZE=ON -DZORVEK_FUZZ=ON "${compiler_cache[@]}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build-sanitize -j"$(nproc)" "${targets[@]}"
