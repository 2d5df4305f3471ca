#!/usr/bin/env python3
"""Packs one Windows build into the release: a zip made the same, bit for bit, from the
same sources anywhere at any time, and SHA256SUMS for the zip and each file in it.

    package.py BUILD_DIR SUFFIX OUT_DIR     (SUFFIX: win32 or win64)

Entries go in a fixed order with fixed attributes and the time of the last commit
(SOURCE_DATE_EPOCH, else git's, else 1980-01-01).
"""
import hashlib
import os
import subprocess
import sys
import time
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
GUIDE_HEADING = "## Using it on Windows"
ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def user_guide(version):
    """README.md's "Using it on Windows" as plain text with CR LF line ends."""
    lines = (SOURCE / "README.md").read_text(encoding="utf-8").split("\n")
    start = lines.index(GUIDE_HEADING) + 1
    end = next((i for i in range(start, len(lines)) if lines[i].startswith("## ")), len(lines))
    title = f"Tarnvale {version}: using it on Windows"
    out = [title, "=" * len(title)]
    for line in lines[start:end]:
        if line.startswith("### "):
            heading = line[4:].replace("`", "")
            out += [heading, "-" * len(heading)]
        else:
            out.append(line.replace("`", ""))
    while out and not out[-1].strip():
        out.pop()
    if any(not line.isascii() for line in out):
        sys.exit("package: the user's guide must be ASCII: Notepad on an old Windows reads it so")
    return ("\r\n".join(out) + "\r\n").encode("ascii")


def crlf(path):
    return path.read_bytes().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def source_date_epoch():
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        result = subprocess.run(["git", "-C", str(SOURCE), "log", "-1", "--format=%ct"],
                                capture_output=True, text=True, check=True)
        return int(result.stdout.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return ZIP_EPOCH


def version_of(build_dir):
    return (build_dir / "generated" / "version.txt").read_text().strip()


def package(build_dir, suffix, out_dir):
    version = version_of(build_dir)
    files = [
        ("tarnvale.exe", (build_dir / "bin" / "tarnvale.exe").read_bytes()),
        ("tarnvale-list.exe", (build_dir / "bin" / "tarnvale-list.exe").read_bytes()),
        ("README.txt", user_guide(version)),
        ("LICENSE.txt", crlf(SOURCE / "LICENSE")),
    ]
    stamp = time.gmtime(max(source_date_epoch(), ZIP_EPOCH))[:6]
    out_dir.mkdir(parents=True, exist_ok=True)
    name = f"tarnvale-{version}-{suffix}.zip"
    with zipfile.ZipFile(out_dir / name, "w") as archive:
        for file_name, data in files:
            entry = zipfile.ZipInfo(file_name, date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # MS-DOS: the attributes below are Windows'
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Explorer makes them
            archive.writestr(entry, data, compresslevel=9)
    sums = [(file_name, hashlib.sha256(data).hexdigest()) for file_name, data in files]
    sums.append((name, hashlib.sha256((out_dir / name).read_bytes()).hexdigest()))
    (out_dir / "SHA256SUMS").write_text("".join(f"{digest}  {file_name}\n"
                                                for file_name, digest in sums))
    print(f"{out_dir / name}:")
    for file_name, data in files:
        print(f"  {len(data):8} {file_name}")
    print(f"{out_dir / 'SHA256SUMS'}:")
    print((out_dir / "SHA256SUMS").read_text(), end="")


def main():
    if len(sys.argv) != 4 or sys.argv[2] not in ("win32", "win64"):
        print(__doc__, file=sys.stderr)
        return 2
    package(Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
