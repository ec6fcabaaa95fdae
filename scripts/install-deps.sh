#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs. Run as root (or through
# sudo); packages already present are left alone.
#
#   scripts/install-deps.sh         everything: building, running, every test
#                                   and the Windows build (scripts/test.sh)
#   scripts/install-deps.sh --run   only what building and running the
#                                   programs need (scripts/run-sample.sh)
set -euo pipefail

# Building (the build compiles the test programs as well) and running.
run_packages=(
    build-essential cmake pkg-config
    ccache                    # a clean clone's rebuild takes minutes, not the better part of an hour
    libcli11-dev qt6-base-dev libgl-dev
    qt6-translations-l10n     # Qt's Russian texts of the standard dialogs
    libxlsxwriter-dev libzip-dev zlib1g-dev
    libsqlite3-dev libpq-dev  # the read-out archive's two backends
    libgtest-dev libgmock-dev libxml2-dev
    fonts-dejavu-core fonts-liberation2
    xdg-utils                 # finished documents open in the desktop's applications
)

# The tests and checks, and the Windows build.
test_packages=(
    clang-format libbenchmark-dev fonts-crosextra-carlito
    postgresql-15             # the throwaway server of the archive tests
    openssl                   # its certificates
    xvfb xauth x11-utils
    libreoffice-writer libreoffice-calc poppler-utils
    # The Windows build: the cross compiler, Debian's source packages of the
    # libraries (scripts/windows-deps.sh), wine for the tests, NSIS for the
    # installer, and what drives and photographs the window on Xvfb.
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev ninja-build qt6-base-dev-tools
    wine wine64 nsis unzip xdotool x11-apps netpbm
    tcl                    # SQLite's one-file source for the Windows build is made with tclsh
    clang libclang-rt-dev  # the fuzz targets and the sanitizer build
    locales                # the documents are also tested under ru_RU.UTF-8
)

case "${1:-}" in
    "") packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    --run) packages=("${run_packages[@]}") ;;
    *)
        echo "usage: $0 [--run]" >&2
        exit 1
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -ne 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

# A Russian desktop's locale, with its decimal comma, for the locale test run.
if [ "${1:-}" != --run ] && ! locale -a | grep -qix 'ru_RU.utf-\?8'; then
    $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
