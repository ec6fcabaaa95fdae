#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, test and run.
# Run as root (or through sudo); packages already present are left alone.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format
    ccache                    # a clean clone's rebuild takes minutes, not the better part of an hour
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    qt6-base-dev libgl-dev qt6-translations-l10n
    libxlsxwriter-dev libzip-dev zlib1g-dev libxml2-dev
    libsqlite3-dev libpq-dev  # the read-out archive's two backends
    postgresql-15             # the throwaway server of the archive tests
    fonts-dejavu-core fonts-liberation2 fonts-crosextra-carlito
    xvfb xauth x11-utils xdg-utils
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
if ! locale -a | grep -qix 'ru_RU.utf-\?8'; then
    $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
