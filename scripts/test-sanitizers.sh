#!/usr/bin/env bash
# The suites of the core once more (the data model, the devices, the flows
# and the document writers, where bytes from outside are parsed), built with
# clang, AddressSanitizer and UBSan into build-sanitize/, then each fuzz
# target for SECONDS (default 30). The windows' suites, the office suite's
# conversions and the locale runs are left to the ordinary build: a second
# build of everything would cost the run more than it finds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
suites=(model_tests access_tests archive_tests sim_tests flows_tests reports_common_tests word_tests
    word_tables_tests word_documents_tests excel_tests appendix3_tests)
scripts/build-sanitize.sh "${suites[@]}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" \
    -E "Office|_under_ru_RU|_NOT_BUILT|^app_|^archive_menu_tests|^ui_tests|ppdev_stand_in"
scripts/fuzz.sh "$seconds"
