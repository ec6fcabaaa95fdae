#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 30), built with clang,
# AddressSanitizer and UBSan into build-sanitize/. The seeds in
# fuzz/corpus/ stay as they are; what the fuzzer finds new is kept in
# build-sanitize/corpus/, a crash's input in build-sanitize/crashes/.
# Prints the inputs each target ran; fails on the first crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
scripts/build-sanitize.sh fuzz_targets >/dev/null

# Where each target takes its seeds from, besides fuzz/corpus/NAME, and the
# largest input it is given (an image is 64 KiB and the working memory).
declare -A seeds=([image]=samples [rtf_template]=templates [rtf_paper]=templates)
declare -A lengths=([image]=67072 [rtf_template]=65536 [rtf_paper]=65536)
mkdir -p build-sanitize/crashes
for target in image info_ini rtf_template rtf_paper serial_reply usb_reply; do
    corpus="build-sanitize/corpus/$target"
    mkdir -p "$corpus"
    log="build-sanitize/fuzz-$target.log"
    dirs=("$corpus" "fuzz/corpus/$target")
    [ -n "${seeds[$target]:-}" ] && dirs+=("${seeds[$target]}")
    if ! "build-sanitize/bin/fuzz_$target" -max_total_time="$seconds" \
        -max_len="${lengths[$target]:-4096}" -print_final_stats=1 \
        -artifact_prefix="build-sanitize/crashes/$target-" "${dirs[@]}" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target failed; its input is in build-sanitize/crashes/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: $runs inputs in $seconds s"
done
