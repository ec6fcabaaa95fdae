#!/usr/bin/env bash
# The test suites once more, built with clang, AddressSanitizer and UBSan
# into build-sanitize/, then each fuzz target for SECONDS (default 30).
# The office suite's conversions and the locale runs are left to the
# ordinary build: they test no code of ours that the first run did not.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
scripts/build-sanitize.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" -E "Office|_under_ru_RU"
scripts/fuzz.sh "$seconds"
