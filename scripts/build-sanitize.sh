#!/usr/bin/env bash
# Configures and builds the sanitizer tree build-sanitize/: clang with
# AddressSanitizer and UBSan, and libFuzzer's targets. Builds the targets
# named as arguments, or everything.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DZORVEK_SANITIZE=ON -DZORVEK_FUZZ=ON "${launcher[@]}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build-sanitize -j"$(nproc)" "${targets[@]}"
