#!/usr/bin/env bash
# Sets up a fresh machine, builds, and shows what the bundled sample image holds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build/bin/zorvek-cli info samples/dannie.krd
