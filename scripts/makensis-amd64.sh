#!/bin/sh
# makensis for a 64-bit Unicode installer, for cpack's NSIS generator.
exec makensis "-XTarget amd64-unicode" "$@"
