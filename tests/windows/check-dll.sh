#!/bin/sh
# Checks a Windows DLL as objdump reads it from the file: that it imports
# only DLLs that every Windows system has, and the host layer; optionally
# also the module name of its export directory and exactly which names it
# exports with which ordinals.
# Usage: check-dll.sh OBJDUMP DLL [MODULE-NAME NAME@ORDINAL...]
set -eu

objdump=$1
dll=$2
shift 2
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
"$objdump" -p "$dll" >"$dump"
status=0

# The system's own libraries; a compiler runtime (libstdc++-6.dll,
# libgcc_s_*.dll, libwinpthread-1.dll) is not among them.
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comdlg32.dll comctl32.dll ole32.dll
 oleaut32.dll version.dll msvcrt.dll ws2_32.dll bcrypt.dll gantline_host.dll "
for name in $(sed -n 's/^[[:space:]]*DLL Name: //p' "$dump" | tr '[:upper:]' '[:lower:]'); do
    case "$allowed" in
        *" $name "*) ;;
        *) echo "$dll imports $name, which is neither a system DLL nor the host layer"; status=1 ;;
    esac
done

if [ $# -gt 0 ]; then
    expected_module=$1
    shift
    module=$(awk '/^Name[ \t]/ { print $NF; exit }' "$dump")
    if [ "$module" != "$expected_module" ]; then
        echo "$dll: export directory names the module '$module', expected '$expected_module'"
        status=1
    fi
    base=$(awk '/^Ordinal Base/ { print $NF; exit }' "$dump")
    exports=$(awk -v base="$base" '
        /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
        table && /^[ \t]*\[/ { gsub(/[][]/, " "); print $2 "@" ($1 + base); next }
        table { exit }' "$dump" | sort | tr '\n' ' ')
    wanted=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
    if [ "$exports" != "$wanted" ]; then
        echo "$dll exports: $exports"
        echo "expected:     $wanted"
        status=1
    fi
fi
if [ $status -eq 0 ]; then echo "$dll: imports and exports as expected"; fi
exit $status
