#!/usr/bin/env bash
# Makes the release of one Windows build preset twice, here and from a copy of these
# sources in another folder, and compares the checksums; fails with the first file and
# byte that differ. Also fails when a shipped program holds the path of either folder.
#   scripts/check_reproducible.sh [PRESET]      (windows when not given)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-windows}
case "$preset" in
    windows) suffix=win32 ;;
    windows-x64) suffix=win64 ;;
    *) echo "reproducible: no package is made from preset $preset" >&2; exit 2 ;;
esac
# Both builds stamp the zip's entries with the same time: this commit's.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH

# One member of a zip, to stdout.
member() {
    python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' "$1" "$2"
}

here=$PWD
scripts/release.sh "$preset" >/dev/null
other=$(mktemp -d /tmp/tarnvale-reproducible.XXXXXX)
status=2
# Kept when the builds differ, for a look.
trap '[ $status -eq 1 ] || rm -rf "$other"' EXIT
mkdir "$other/elsewhere"
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$other/elsewhere"
(cd "$other/elsewhere" && scripts/release.sh "$preset" >/dev/null)

first=build/release/$suffix
second=$other/elsewhere/build/release/$suffix
zip=$(awk '$2 ~ /[.]zip$/ { print $2 }' "$first/SHA256SUMS")
status=0
# SHA256SUMS lists the files before the zip: the first difference is the telling one.
while read -r digest name; do
    theirs=$(awk -v n="$name" '$2 == n { print $1 }' "$second/SHA256SUMS")
    [ "$digest" = "$theirs" ] && continue
    if [ "$name" = "${name%.zip}" ]; then
        # A file of the zip: compare it as it is in both zips.
        difference=$(cmp <(member "$first/$zip" "$name") <(member "$second/$zip" "$name") || true)
    else
        difference=$(cmp "$first/$name" "$second/$name" || true)
    fi
    byte=$(sed -n 's/.* differ: byte \([0-9]*\),.*/\1/p' <<<"$difference")
    if [ -n "$byte" ]; then
        where="first at offset $((byte - 1))"
    else
        where=${difference:-one ends early}
    fi
    echo "reproducible: FAILED: $name differs between the build here and the one in $other/elsewhere: $where" >&2
    status=1
    break
done <"$first/SHA256SUMS"

for folder in "$here" "$other/elsewhere"; do
    for program in tarnvale.exe tarnvale-list.exe; do
        if member "$first/$zip" "$program" | strings -a | grep -qF "$folder"; then
            echo "reproducible: FAILED: $program holds the build path $folder" >&2
            status=1
        fi
    done
done
if [ $status -ne 0 ]; then
    echo "reproducible: the second build is kept in $other/elsewhere" >&2
    exit 1
fi
echo "reproducible: two builds of $zip in two folders are identical:"
cat "$first/SHA256SUMS"
