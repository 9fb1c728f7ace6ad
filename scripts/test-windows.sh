#!/bin/sh
# Builds the two Windows cross builds (presets win64 and win32: x64 in
# build/win64, x86 in build/win32) and runs their tests under Wine, inside
# one Xvfb server.
# Usage: scripts/test-windows.sh [win64|win32 ...]   (default: both)
# Environment:
#   CI                     set in continuous integration: a missing Windows
#                          toolchain is a failure, never a skip
#   GANTLINE_SKIP_WINDOWS  set to 1 to skip the Windows part on a machine
#                          without the toolchain (refused when CI is set)
#   GANTLINE_JOBS          parallel build and test jobs (default: 2)
set -eu

root=$(CDPATH='' cd -- "$(dirname -- "$0")/.." && pwd)
jobs="${GANTLINE_JOBS:-2}"
builds="${*:-win64 win32}"

if [ "${GANTLINE_SKIP_WINDOWS:-0}" = 1 ]; then
    if [ -n "${CI:-}" ]; then
        echo "test-windows: GANTLINE_SKIP_WINDOWS is not honoured in CI" >&2
        exit 1
    fi
    echo "test-windows: SKIPPED on request (GANTLINE_SKIP_WINDOWS=1)" >&2
    exit 0
fi
"$root/scripts/install-windows-deps.sh"

configure_and_build() {  # <build name>: a configure and build preset
    (cd "$root" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs")
}

status=0
for build in $builds; do
    case "$build" in
        win64|win32) ;;
        *) echo "test-windows: unknown build $build (win64 or win32)" >&2; exit 2 ;;
    esac
    echo "== $build: build" >&2
    configure_and_build "$build"
done

# One display for every test program; Wine's own processes may outlive a
# test by a few seconds, so the server is stopped before the display goes.
for build in $builds; do
    echo "== $build: tests under Wine" >&2
    # shellcheck disable=SC2016  # the inner shell expands its own arguments
    if ! xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        sh -c 'ctest --test-dir "$1" --output-on-failure -j "$2"; rc=$?;
               WINEPREFIX="$1/wineprefix" wineserver -k 2>/dev/null || true; exit $rc' \
        sh "$root/build/$build" "$jobs"; then
        status=1
    fi
done
exit $status
