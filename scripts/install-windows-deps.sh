#!/bin/sh
# Makes sure the Windows cross toolchain and its test runner are present:
# mingw-w64 (posix threads), Wine for 64- and 32-bit programs, Xvfb,
# GoogleTest's sources, and stb's header-only PNG coder. Missing parts are
# installed with apt when running as root; otherwise the script names the
# packages and fails.
# Exit status: 0 when everything is present, 1 when something is missing.
set -eu

packages=""
need() {  # need <package> <file or command that proves it>
    if [ -e "$2" ] || command -v "$2" >/dev/null 2>&1; then return; fi
    packages="$packages $1"
}
check() {
    packages=""
    need g++-mingw-w64-x86-64-posix x86_64-w64-mingw32-g++-posix
    need g++-mingw-w64-i686-posix i686-w64-mingw32-g++-posix
    need binutils-mingw-w64-x86-64 x86_64-w64-mingw32-windres
    need binutils-mingw-w64-i686 i686-w64-mingw32-windres
    need wine64 /usr/lib/wine/wine64
    need wine32:i386 /usr/lib/wine/wine
    need xvfb xvfb-run
    need googletest /usr/src/googletest/CMakeLists.txt
    need libstb-dev /usr/include/stb/stb_image_write.h
    need cmake cmake
    need ninja-build ninja
}

check
if [ -z "$packages" ]; then exit 0; fi

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null 2>&1; then
    echo "Windows cross build: missing packages:$packages" >&2
    echo "install them as root:" >&2
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install$packages" >&2
    exit 1
fi

echo "Windows cross build: installing$packages" >&2
case "$packages" in
    *:i386*)
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            dpkg --add-architecture i386
        fi ;;
esac
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >&2
# shellcheck disable=SC2086  # one word per package
apt-get install -y -q --no-install-recommends $packages >&2

check
if [ -n "$packages" ]; then
    echo "Windows cross build: still missing after installation:$packages" >&2
    exit 1
fi
