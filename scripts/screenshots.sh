#!/usr/bin/env bash
# Screenshots of every window, on the bundled sample image, into
# docs/screenshots/ (needs xvfb-run; run after scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target zorvek-screenshots
mkdir -p docs/screenshots
xvfb-run -a -s "-screen 0 1024x768x24" build/bin/zorvek-screenshots docs/screenshots samples/dannie.krd
