#!/bin/sh
# Runs a Windows program under Wine, the way the cross builds' tests run:
#   wine-run.sh [--init] program.exe [arguments...]
# Environment:
#   WINEPREFIX           the Wine prefix (required; the build folder keeps its own)
#   GANTLINE_WINE_LOADER the Wine loader (default: /usr/lib/wine/wine, which runs
#                        64-bit programs through wine64, then wine64, then wine)
# The prefix is created on first use, under a lock so that parallel tests
# wait for one creation. Without a display, the program runs inside a
# private Xvfb server started by xvfb-run.
set -eu

if [ -z "${WINEPREFIX:-}" ]; then
    echo "wine-run.sh: set WINEPREFIX to the prefix to run in" >&2
    exit 2
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompts: the tests need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

loader="${GANTLINE_WINE_LOADER:-}"
if [ -z "$loader" ]; then
    for candidate in /usr/lib/wine/wine /usr/lib/wine/wine64; do
        if [ -x "$candidate" ]; then loader=$candidate; break; fi
    done
fi
if [ -z "$loader" ]; then loader=$(command -v wine || true); fi
if [ -z "$loader" ] || [ ! -x "$loader" ]; then
    echo "wine-run.sh: no Wine loader found (install wine64 and wine32)" >&2
    exit 2
fi

if [ -z "${DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null 2>&1; then
        echo "wine-run.sh: no DISPLAY and no xvfb-run (install xvfb)" >&2
        exit 2
    fi
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

init_prefix() {
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        # A boot that ends early can leave the registry without the system
        # folder (no kernel32.dll, and every program then fails to load):
        # such a prefix is made again from nothing, once.
        attempt=0
        while [ ! -f "$WINEPREFIX/.gantline-ready" ] && [ $attempt -lt 2 ]; do
            attempt=$((attempt + 1))
            "$loader" wineboot --init >/dev/null 2>&1 || true
            # No window manager runs in Xvfb: Wine handles every window
            # itself instead of waiting for a manager to answer.
            "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
            wineserver_do -w
            if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
                touch "$WINEPREFIX/.gantline-ready"
            else
                wineserver_do -k
                rm -rf "$WINEPREFIX"
                mkdir -p "$WINEPREFIX"
            fi
        done
    ) 9>"$WINEPREFIX.lock"
    [ -f "$WINEPREFIX/.gantline-ready" ]
}

wineserver_do() {  # -w: wait for the prefix's server to end; -k: end it
    for server in "$(dirname "$loader")/wineserver64" "$(dirname "$loader")/wineserver32" wineserver; do
        if command -v "$server" >/dev/null 2>&1; then "$server" "$1" 2>/dev/null || true; return; fi
    done
}

if [ "${1:-}" = "--init" ]; then
    init_prefix
    exit $?
fi
init_prefix
exec "$loader" "$@"
