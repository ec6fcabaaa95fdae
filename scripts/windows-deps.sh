#!/usr/bin/env bash
# Cross-builds the libraries the Windows programs need (Qt Core/Gui/Widgets/
# Test, libzip, libxlsxwriter, SQLite, libxml2 for the tests, GoogleTest) from
# Debian's own source packages into a prefix cached under /var/cache/zorvek/,
# adds CLI11's headers, and prints that prefix.
#
# Each library is kept under a key made of its pinned version, its build
# options and its patches (scripts/windows-patches/PACKAGE-*.patch): a second
# run with nothing changed costs seconds, and a change rebuilds only the
# library it touches. Qt writes its prefix into its CMake files, which is why
# the folder is fixed rather than inside the build tree. zlib comes from
# Debian's libz-mingw-w64-dev.
#
# Progress goes to stderr; the only line on stdout is the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

CACHE_ROOT=${ZORVEK_WINDOWS_DEPS_CACHE:-/var/cache/zorvek/windows-deps}
prefix="$CACHE_ROOT/prefix"
stamps="$prefix/.stamps"
work="$CACHE_ROOT/work"
patches="$PWD/scripts/windows-patches"

log() { echo "windows-deps: $*" >&2; }

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO mkdir -p "$stamps" "$work"
[ -z "$SUDO" ] || $SUDO chown -R "$(id -u):$(id -g)" "$CACHE_ROOT"

# Source packages come from the same Debian entry as the binary ones.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ &&
    ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding the deb-src entry"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
    $SUDO apt-get update -q >&2
fi

cd "$work"
cat >toolchain.cmake <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake"
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix")
jobs=$(nproc)

# build PACKAGE VERSION [CMAKE OPTIONS...]: fetches, unpacks with Debian's
# patches, applies ours, builds and installs one source package, unless the
# prefix holds it already under the same key.
build() {
    local package=$1 version=$2
    shift 2
    local key
    key=$( (printf '%s\n' "$package" "$version" "$@"
        cat "$patches/$package"-*.patch 2>/dev/null || true) | sha256sum | cut -c1-16)
    if [ -f "$stamps/$package-$key" ]; then
        log "$package $version cached"
        return
    fi
    log "building $package $version"
    local started=$SECONDS
    rm -rf "$package" "build-$package" "$stamps/$package"-*
    apt-get source --download-only -q "$package=$version" >"$package.log" 2>&1 ||
        { tail -20 "$package.log" >&2; exit 1; }
    dpkg-source -x "${package}_${version}.dsc" "$package" >>"$package.log" 2>&1
    for p in "$patches/$package"-*.patch; do
        if [ -f "$p" ]; then patch -d "$package" -p1 <"$p" >>"$package.log"; fi
    done
    cmake -S "$package" -B "build-$package" "${common[@]}" "$@" >>"$package.log" 2>&1 ||
        { tail -40 "$package.log" >&2; exit 1; }
    cmake --build "build-$package" -j"$jobs" >>"$package.log" 2>&1 ||
        { tail -40 "$package.log" >&2; exit 1; }
    cmake --install "build-$package" >>"$package.log" 2>&1
    rm -rf "$package" "build-$package" "${package}_"*
    touch "$stamps/$package-$key"
    log "$package built in $((SECONDS - started)) s"
}

build googletest 1.12.1-0.2 -DBUILD_SHARED_LIBS=OFF

build libzip 1.7.3-1 -DBUILD_SHARED_LIBS=ON -DENABLE_WINDOWS_CRYPTO=ON \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF

# UTF-8 file names: the patch lets MinGW builds use the library's own
# wide-character file calls, as MSVC builds do.
build libxlsxwriter 1.1.4-2 -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=OFF \
    -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF

# SQLite, the read-out archive's file backend: Debian's tree makes its
# one-file amalgamation with the build machine's compiler and tclsh, and the
# cross compiler makes a static library of that file.
build_sqlite() {
    local package=sqlite3 version=$1
    shift
    local key
    key=$(printf '%s\n' "$package" "$version" "$@" | sha256sum | cut -c1-16)
    if [ -f "$stamps/$package-$key" ]; then
        log "$package $version cached"
        return
    fi
    log "building $package $version"
    local started=$SECONDS
    rm -rf "$package" "$stamps/$package"-*
    apt-get source --download-only -q "$package=$version" >"$package.log" 2>&1 ||
        { tail -20 "$package.log" >&2; exit 1; }
    dpkg-source -x "${package}_${version}.dsc" "$package" >>"$package.log" 2>&1
    (cd "$package" && ./configure && make sqlite3.c) >>"$package.log" 2>&1 ||
        { tail -40 "$package.log" >&2; exit 1; }
    x86_64-w64-mingw32-gcc-posix "$@" -c "$package/sqlite3.c" -o "$package/sqlite3.o" \
        >>"$package.log" 2>&1 || { tail -40 "$package.log" >&2; exit 1; }
    mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
    rm -f "$prefix/lib/libsqlite3.a"
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$package/sqlite3.o"
    cp "$package/sqlite3.h" "$package/sqlite3ext.h" "$prefix/include/"
    cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SQLite
Description: SQL database engine
Version: ${version%%-*}
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
EOF
    rm -rf "$package" "${package}_"*
    touch "$stamps/$package-$key"
    log "$package built in $((SECONDS - started)) s"
}
build_sqlite 3.40.1-2+deb12u2 -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION

# The tests read written workbooks back with it.
build libxml2 2.9.14+dfsg-1.3~deb12u4 -DBUILD_SHARED_LIBS=ON \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF \
    -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF \
    -DLIBXML2_WITH_PROGRAMS=OFF

# Only what the programs use: Core, Gui, Widgets and Test, the Windows and
# offscreen platforms, Qt's bundled image and text libraries. OpenGL stays
# off (Debian's tree does not build the dynamic GL loader for mingw), and
# tablet events with it (Debian drops wintab). Direct2D is off too, and with
# it Gui's DirectWrite font database, which the Windows platform plugin would
# still ask for: our patch makes it ask only where Gui has it.
qt_flags=()
for f in opengl dynamicgl tabletevent sql network dbus printsupport concurrent xml zstd \
    direct2d direct2d1_1 system_zlib system_png system_jpeg system_freetype system_harfbuzz \
    system_pcre2 system_doubleconversion system_libb2 system_textmarkdownreader; do
    qt_flags+=("-DFEATURE_$f=OFF")
done
build qt6-base 6.4.2+dfsg-10 -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DBUILD_WITH_PCH=OFF "${qt_flags[@]}"

# CLI11 is headers only: the build machine's copy serves the target too.
mkdir -p "$prefix/include" "$prefix/share/cmake"
cp -r /usr/include/CLI "$prefix/include/"
cp -r /usr/share/cmake/CLI11 "$prefix/share/cmake/"

echo "$prefix"
