# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX threads,
# for std::thread); test programs run under wine. The libraries come from
# scripts/windows-deps.sh, whose prefix is given as ZORVEK_WINDOWS_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZORVEK_WINDOWS_PREFIX})
set(CMAKE_PREFIX_PATH ${ZORVEK_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# pkg-config answers for the target's libraries only.
set(ENV{PKG_CONFIG_LIBDIR} ${ZORVEK_WINDOWS_PREFIX}/lib/pkgconfig)
# moc, uic and rcc are the build machine's own Qt tools, of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
