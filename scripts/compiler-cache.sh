# Sourced by the build scripts from the project's root: compile through
# ccache where it is installed. Paths below the root count as relative and
# the build folder is left out of the key, so every clone of the project on
# this machine shares one cache (a clean clone rebuilds in minutes).
compiler_cache=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
    compiler_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
