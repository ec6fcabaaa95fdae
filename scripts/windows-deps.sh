#!/usr/bin/env bash
# Cross-builds the libraries the Windows programs need (Qt Core/Gui/Widgets/
# Test, libzip, libxlsxwriter, SQLite, libpq, libxml2 for the tests,
# GoogleTest) from Debian's own source packages into a prefix cached under
# /var/cache/zorvek/, adds CLI11's headers, and prints that prefix.
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

# The key a library is kept under: its name, its pinned version, its build
# options and our patches of it.
key_of() {
    local package=$1
    (printf '%s\n' "$@"
        cat "$patches/$package"-*.patch 2>/dev/null || true) | sha256sum | cut -c1-16
}

# cached PACKAGE VERSION KEY: true when the prefix holds it under KEY.
cached() {
    if [ -f "$stamps/$1-$3" ]; then
        log "$1 $2 cached"
        return 0
    fi
    log "building $1 $2"
    rm -rf "$1" "build-$1" "$stamps/$1"-*
    return 1
}

# quietly PACKAGE COMMAND...: runs COMMAND into PACKAGE's log; on failure the
# log's end is shown and the script stops.
quietly() {
    local package=$1
    shift
    "$@" >>"$package.log" 2>&1 || { tail -40 "$package.log" >&2; exit 1; }
}

# unpack PACKAGE VERSION: fetches the source package and unpacks it into
# ./PACKAGE with Debian's patches and ours.
unpack() {
    local package=$1 version=$2
    apt-get source --download-only -q "$package=$version" >"$package.log" 2>&1 ||
        { tail -20 "$package.log" >&2; exit 1; }
    quietly "$package" dpkg-source -x "${package}_${version}.dsc" "$package"
    for p in "$patches/$package"-*.patch; do
        if [ -f "$p" ]; then quietly "$package" patch -d "$package" -p1 -i "$p"; fi
    done
}

# in_dir FOLDER COMMAND...: COMMAND run in FOLDER.
in_dir() (
    cd "$1"
    shift
    "$@"
)

# pkg_config NAME TITLE DESCRIPTION VERSION LIBRARY: the pkg-config file of a
# library whose own build makes none for this prefix.
pkg_config() {
    mkdir -p "$prefix/lib/pkgconfig"
    cat >"$prefix/lib/pkgconfig/$1.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: $2
Description: $3
Version: $4
Libs: -L\${libdir} $5
Cflags: -I\${includedir}
EOF
}

# finished PACKAGE VERSION KEY STARTED: clears the sources away and stamps it.
finished() {
    rm -rf "$1" "build-$1" "${1}_"*
    touch "$stamps/$1-$3"
    log "$1 $2 built in $((SECONDS - $4)) s"
}

# build PACKAGE VERSION [CMAKE OPTIONS...]: one CMake source package, built
# and installed, unless the prefix holds it already under the same key.
build() {
    local package=$1 version=$2 started=$SECONDS key
    shift 2
    key=$(key_of "$package" "$version" "$@")
    cached "$package" "$version" "$key" && return
    unpack "$package" "$version"
    quietly "$package" cmake -S "$package" -B "build-$package" "${common[@]}" "$@"
    quietly "$package" cmake --build "build-$package" -j"$jobs"
    quietly "$package" cmake --install "build-$package"
    finished "$package" "$version" "$key" "$started"
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
    local package=sqlite3 version=$1 started=$SECONDS key
    shift
    key=$(key_of "$package" "$version" "$@")
    cached "$package" "$version" "$key" && return
    unpack "$package" "$version"
    quietly "$package" in_dir "$package" ./configure
    quietly "$package" make -C "$package" sqlite3.c
    quietly "$package" x86_64-w64-mingw32-gcc-posix "$@" -c "$package/sqlite3.c" \
        -o "$package/sqlite3.o"
    mkdir -p "$prefix/include" "$prefix/lib"
    rm -f "$prefix/lib/libsqlite3.a"
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$package/sqlite3.o"
    cp "$package/sqlite3.h" "$package/sqlite3ext.h" "$prefix/include/"
    pkg_config sqlite3 SQLite "SQL database engine" "${version%%-*}" -lsqlite3
    finished "$package" "$version" "$key" "$started"
}
build_sqlite 3.40.1-2+deb12u2 -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION

# OpenSSL, for libpq's TLS to a server outside the office: its two
# libraries as DLLs, without the command-line tool (only the libraries'
# target is made), engines, loadable providers or the legacy algorithms.
build_openssl() {
    local package=openssl version=$1 started=$SECONDS key
    shift
    key=$(key_of "$package" "$version" "$@")
    cached "$package" "$version" "$key" && return
    unpack "$package" "$version"
    quietly "$package" in_dir "$package" ./Configure mingw64 "$@" \
        CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar \
        RANLIB=x86_64-w64-mingw32-ranlib RC=x86_64-w64-mingw32-windres \
        --prefix="$prefix" --libdir=lib
    quietly "$package" make -C "$package" -j"$jobs" build_libs
    quietly "$package" make -C "$package" install_dev install_runtime_libs
    # Only the DLLs are linked, so a static copy can never be picked instead.
    rm -f "$prefix/lib/libcrypto.a" "$prefix/lib/libssl.a"
    finished "$package" "$version" "$key" "$started"
}
build_openssl 3.0.20-1~deb12u2 shared no-tests no-legacy no-engine no-module no-comp

# libpq, the client of a shared archive on a PostgreSQL server, from
# PostgreSQL's own tree, with the OpenSSL above, without readline, ICU or
# zlib. configure is given mingw-w64's answers to the checks that
# parse the Windows socket headers, half of its time. Of src/port and
# src/common only the objects the DLL links are made (the linker names one
# that is missing), each once: on Windows the static libraries' objects are
# the shared library's too, so libpq links those instead of a second set.
pg_port_objects=(chklocale dirmod explicit_bzero getaddrinfo getpeereid inet_aton inet_net_ntop
    noblock open pg_strong_random pgsleep pgstrcasecmp snprintf strerror strlcpy system
    timingsafe_bcmp win32common win32error win32ntdll win32setlocale win32stat)
pg_common_objects=(base64 cryptohash_openssl encnames hmac_openssl ip link-canary md5_common
    protocol_openssl saslprep scram-common string unicode_norm wchar)
build_libpq() {
    local package=postgresql-15 version=$1 started=$SECONDS key
    shift
    key=$(key_of "$package" "$version" "$@" "${pg_port_objects[@]}" - "${pg_common_objects[@]}")
    cached "$package" "$version" "$key" && return
    unpack "$package" "$version"
    quietly "$package" in_dir "$package" ./configure --host=x86_64-w64-mingw32 \
        CC=x86_64-w64-mingw32-gcc-posix CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
        --prefix="$prefix" "$@"
    quietly "$package" make -C "$package/src/port" -j"$jobs" libpgport.a \
        OBJS="${pg_port_objects[*]/%/.o}"
    quietly "$package" make -C "$package/src/common" -j"$jobs" libpgcommon.a \
        OBJS_FRONTEND="${pg_common_objects[*]/%/.o}"
    quietly "$package" make -C "$package/src/interfaces/libpq" -j"$jobs" \
        SHLIB_PREREQS= SHLIB_LINK_INTERNAL="-lpgcommon -lpgport"
    mkdir -p "$prefix/bin" "$prefix/include" "$prefix/lib"
    cp "$package/src/interfaces/libpq/libpq.dll" "$prefix/bin/"
    cp "$package/src/interfaces/libpq/libpq.a" "$prefix/lib/libpq.dll.a"
    cp "$package/src/interfaces/libpq/libpq-fe.h" "$package/src/include/postgres_ext.h" \
        "$package/src/include/pg_config_ext.h" "$prefix/include/"
    pkg_config libpq libpq "PostgreSQL's client library" "${version%%-*}" -lpq
    finished "$package" "$version" "$key" "$started"
}
build_libpq 15.18-0+deb12u1 --without-readline --without-icu --without-zlib --with-openssl \
    ac_cv_header_net_if_h=no ac_cv_header_netinet_tcp_h=no \
    ac_cv_member_struct_sockaddr_sa_len=no ac_cv_member_struct_sockaddr_storage___ss_family=no \
    ac_cv_member_struct_sockaddr_storage___ss_len=no \
    ac_cv_member_struct_sockaddr_storage_ss_family=yes \
    ac_cv_member_struct_sockaddr_storage_ss_len=no ac_cv_type_MINIDUMP_TYPE=yes \
    ac_cv_type_socklen_t=yes ac_cv_type_struct_addrinfo=yes ac_cv_type_struct_cmsgcred=no \
    ac_cv_type_struct_sockaddr_in6=yes ac_cv_type_struct_sockaddr_storage=yes

# The tests read written workbooks back with it.
build libxml2 2.9.14+dfsg-1.3~deb12u4 -DBUILD_SHARED_LIBS=ON \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF \
    -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF \
    -DLIBXML2_WITH_PROGRAMS=OFF

# Only what the programs use: Core, Gui, Widgets, Print Support (the
# documents' preview and printing) and Test, the Windows and offscreen
# platforms, Qt's bundled image and text libraries. OpenGL stays
# off (Debian's tree does not build the dynamic GL loader for mingw), and
# tablet events with it (Debian drops wintab). Direct2D is off too, and with
# it Gui's DirectWrite font database and font engine, which the Windows
# platform plugin and Print Support's printing engine would still ask for:
# our patches make them ask only where Gui has them.
qt_flags=()
for f in opengl dynamicgl tabletevent sql network dbus concurrent xml zstd \
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
