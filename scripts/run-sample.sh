#!/usr/bin/env bash
# Sets up a fresh machine with what building and running need (not the
# tools of the tests and of the Windows build), builds, and opens the bundled
# sample image in the window program. Without a display it makes the
# sample's documents with the command-line companion instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --run
scripts/build.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/zorvek samples/dannie.krd
fi
echo "No display: making the documents of samples/dannie.krd in sample-documents/ instead." >&2
build/bin/zorvek-cli report samples/dannie.krd --out sample-documents --charts
