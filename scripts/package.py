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
GUIDE = SOURCE / "docs" / "users-guide.md"
ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold
WIDTH = 80  # Notepad's window and a console: a wider line wraps where it falls


def guide_faults(source_lines, text_lines):
    """What would make README.txt hard to read or copy from: a line wider than WIDTH, a
    command (an indented line, or text in backticks) split by a wrap, a character
    other than ASCII."""
    faults = []
    for number, line in enumerate(text_lines, 1):
        if len(line) > WIDTH:
            faults.append(f"README.txt line {number} is {len(line)} characters wide: {line}")
        if not line.isascii():
            faults.append(f"README.txt line {number} is not ASCII (Notepad on an old "
                          f"Windows reads it so): {line}")
    for number, line in enumerate(source_lines, 1):
        if line.count("`") % 2:
            faults.append(f"{GUIDE.name} line {number}: text in backticks goes on past the "
                          f"line's end, so a wrap splits it: {line}")
    for number, (line, after) in enumerate(zip(source_lines, source_lines[1:]), 1):
        indent = len(line) - len(line.lstrip(" "))
        if line.strip() and indent >= 4 and after.strip() and \
                len(after) - len(after.lstrip(" ")) < indent:
            faults.append(f"{GUIDE.name} line {number + 1} goes on from the command above "
                          f"it without its indent: {after}")
    return faults


def plain_guide(source_lines, version):
    """The guide as plain text lines: the title with the version, headings underlined,
    backticks gone."""
    title = f"Tarnvale {version}: using it on Windows"
    out = [title, "=" * len(title)]
    body = source_lines[1:] if source_lines and source_lines[0].startswith("# ") else source_lines
    for line in body:
        if line.startswith("## "):
            heading = line[3:].replace("`", "")
            out += [heading, "-" * len(heading)]
        else:
            out.append(line.replace("`", ""))
    while out and not out[-1].strip():
        out.pop()
    return out


def user_guide(version):
    """docs/users-guide.md as plain text with CR LF line ends: README.txt."""
    source_lines = GUIDE.read_text(encoding="utf-8").split("\n")
    out = plain_guide(source_lines, version)
    faults = guide_faults(source_lines, out)
    if faults:
        sys.exit("package: the user's guide cannot go out as it is:\n  " + "\n  ".join(faults))
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
