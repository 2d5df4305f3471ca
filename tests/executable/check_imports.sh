#!/usr/bin/env bash
# A program of ours must run on a bare Windows: it may import only DLLs that Windows itself
# has, and stay one small file. Given the link map, it must also hold none of the C++
# exception runtime: the file is stripped, but the map names every symbol the link kept.
#   check_imports.sh PATH/TO/PROGRAM.exe [OBJDUMP] [LINK_MAP] [MAX_KIB]
set -euo pipefail
objdump=${2:-i686-w64-mingw32-objdump}
map=${3:-}
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
max_bytes=$((${4:-128} * 1024))
# Throwing, catching, unwinding, and the library's throw helpers that std::string and
# operator new call; mangled names hold these too (_ZSt20__throw_length_errorPKc).
runtime='__cxa_|_Unwind_|__throw_|__gxx_personality'
status=0
dump=$("$objdump" -p "$1")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAILED: no imports read from $1"; exit 1; }
for dll in $imports; do
    case " $allowed " in
        *" $dll "*) ;;
        *) echo "FAILED: imports $dll, which is not part of Windows"; status=1 ;;
    esac
done
# A system DLL could bring the runtime in by name, too.
imported_runtime=$(grep -E -o "\S*($runtime)\S*" <<<"$dump" | sort -u || true)
if [ -n "$imported_runtime" ]; then
    echo "FAILED: imports the C++ exception runtime:" $imported_runtime
    status=1
fi
size=$(stat -c %s "$1")
if [ "$size" -gt "$max_bytes" ]; then
    echo "FAILED: $(basename "$1") is $size bytes, more than $max_bytes"
    status=1
fi
if [ -n "$map" ]; then
    # The kept part of the map lists each symbol as "  0xADDRESS  NAME", the name
    # demangled (it may hold blanks); what the link discarded is listed above it.
    kept=$(sed -n '/^Linker script and memory map/,$p' "$map" |
           awk '$1 ~ /^0x[0-9a-f]+$/ && $2 !~ /^0x/ { $1 = ""; print substr($0, 2) }')
    [ -n "$kept" ] || { echo "FAILED: no symbols read from the link map $map"; exit 1; }
    linked_runtime=$(grep -E "$runtime" <<<"$kept" | sort -u || true)
    if [ -n "$linked_runtime" ]; then
        echo "FAILED: $(basename "$1") holds the C++ exception runtime ($(wc -l <<<"$linked_runtime") symbols):"
        head -n 12 <<<"$linked_runtime" | sed 's/^/    /'
        echo "  what pulled it in, first:"
        sed -n '/^Archive member included/,/^Discarded input/p' "$map" |
            grep -E -B1 "\(.*($runtime).*\)$" | grep -v '^--' | head -n 4 | sed 's/^ */    /'
        echo "  and the rest under 'Archive member included' in $map"
        status=1
    fi
fi
if [ $status -eq 0 ]; then
    echo "$(basename "$1") ($size bytes)${map:+, no exception runtime,} imports only:" $imports
fi
exit $status
