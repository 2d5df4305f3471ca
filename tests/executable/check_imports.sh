#!/usr/bin/env bash
# tarnvale.exe must run on a bare Windows: it may import only DLLs that Windows itself has,
# and stay one small file.
#   check_imports.sh PATH/TO/tarnvale.exe [OBJDUMP]
set -euo pipefail
objdump=${2:-i686-w64-mingw32-objdump}
allowed="comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll"
max_bytes=$((256 * 1024))
status=0
imports=$("$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAILED: no imports read from $1"; exit 1; }
for dll in $imports; do
    case " $allowed " in
        *" $dll "*) ;;
        *) echo "FAILED: imports $dll, which is not part of Windows"; status=1 ;;
    esac
done
size=$(stat -c %s "$1")
if [ "$size" -gt "$max_bytes" ]; then
    echo "FAILED: $(basename "$1") is $size bytes, more than $max_bytes"
    status=1
fi
[ $status -eq 0 ] && echo "$(basename "$1") ($size bytes) imports only:" $imports
exit $status
