#!/usr/bin/env bash
# tarnvale.exe must run on a bare Windows: it may import only DLLs that Windows itself has.
#   check_imports.sh PATH/TO/tarnvale.exe
set -euo pipefail
allowed="comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll"
status=0
imports=$(i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAILED: no imports read from $1"; exit 1; }
for dll in $imports; do
    case " $allowed " in
        *" $dll "*) ;;
        *) echo "FAILED: imports $dll, which is not part of Windows"; status=1 ;;
    esac
done
[ $status -eq 0 ] && echo "$(basename "$1") imports only:" $imports
exit $status
