#!/usr/bin/env python3
"""Checks the resources built into tarnvale.exe: icon group 1, the About picture, the
manifest and the version record, which must give VERSION, project(VERSION). Of any other
program of ours (tarnvale-list.exe) only the version record. Reads them with icoutils'
wrestool and icotool.

    check_resources.py PATH/TO/tarnvale.exe VERSION
"""
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

RT_BITMAP, RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 2, 3, 14, 16, 24

# 48, 32, 16 at 8 bits a pixel, then the same at 32 bits.
ICON_IMAGES = [(48, 8), (32, 8), (16, 8), (48, 32), (32, 32), (16, 32)]

PRODUCT_NAME = "Tarnvale"
# Ours to write, but they must be there.
VERSION_TEXTS = ("FileDescription", "CompanyName", "LegalCopyright", "Comments")
STRING_TABLE = "0C0A04B0"
TRANSLATION = (0x0C0A, 1200)
# The PE file's machine field, and what a manifest must name for it.
MANIFEST_ARCHITECTURES = {0x14C: "x86", 0x8664: "amd64"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def resource(exe, kind, name):
    """The raw bytes of one resource, or None."""
    result = subprocess.run(
        ["wrestool", "-x", "--raw", f"--type={kind}", f"--name={name}", str(exe)],
        capture_output=True)
    return result.stdout if result.returncode == 0 and result.stdout else None


def dib_header(data):
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 0)
    return size, width, height, planes, bits, compression


def check_icon_group(exe):
    group = resource(exe, RT_GROUP_ICON, 1)
    if not check(group is not None, "no icon group 1"):
        return
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    check(reserved == 0 and kind == 1, "icon group 1 is not an icon directory")
    entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]
    found = [(e[0] or 256, e[5]) for e in entries]
    check(found == ICON_IMAGES, f"icon group 1 lists {found}, expected {ICON_IMAGES}")

    for (size, bits), entry in zip(ICON_IMAGES, entries):
        image = resource(exe, RT_ICON, entry[7])
        if not check(image is not None, f"icon image {entry[7]} is missing"):
            continue
        _, width, height, _, image_bits, _ = dib_header(image)
        check((width, height, image_bits) == (size, 2 * size, bits),
              f"icon image {entry[7]} is {width}x{height // 2} at {image_bits} bpp, "
              f"expected {size}x{size} at {bits}")
        if bits == 32:
            header = struct.unpack_from("<I", image, 0)[0]
            alpha = image[header + 3: header + size * size * 4: 4]
            check(0 < sum(a == 255 for a in alpha) < len(alpha) and 0 in alpha,
                  f"the {size} px 32-bit icon has no real alpha channel")

    # icoutils' own reading of the group, as a whole .ico file.
    with tempfile.TemporaryDirectory() as folder:
        ico = Path(folder) / "group.ico"
        subprocess.run(["wrestool", "-x", f"--type={RT_GROUP_ICON}", "--name=1",
                        f"--output={ico}", str(exe)], check=True, capture_output=True)
        listing = subprocess.run(["icotool", "-l", str(ico)], check=True,
                                 capture_output=True, text=True).stdout.split("\n")
        listed = []
        for line in filter(None, listing):
            fields = dict(f.lstrip("-").split("=") for f in line.split() if "=" in f)
            listed.append((int(fields["width"]), int(fields["bit-depth"])))
        check(listed == ICON_IMAGES, f"icotool lists {listed}")


def check_about_picture(exe):
    picture = resource(exe, RT_BITMAP, 1)
    if not check(picture is not None, "no About bitmap 1"):
        return
    size, width, height, planes, bits, compression = dib_header(picture)
    check(size >= 40 and planes == 1, "the About bitmap has no usable DIB header")
    check((width, abs(height), bits, compression) == (128, 128, 24, 0),
          f"the About bitmap is {width}x{abs(height)} at {bits} bpp, compression {compression}")
    row = (width * 3 + 3) // 4 * 4
    check(len(picture) >= size + row * abs(height), "the About bitmap's pixels are cut short")


def pe_machine(exe):
    data = exe.read_bytes()
    (header,) = struct.unpack_from("<I", data, 0x3C)
    (machine,) = struct.unpack_from("<H", data, header + 4)
    return machine


def record_text(version):
    """The version record's string form: 1.1.0.9 is "1.01.0009"."""
    return f"{version[0]}.{version[1]:02}.{version[3]:04}"


def check_manifest(exe, version):
    manifest = resource(exe, RT_MANIFEST, 1)
    if not check(manifest is not None, "no manifest 1"):
        return
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        check(False, f"the manifest is not XML: {error}")
        return
    names = {element.get("name"): element.get("version")
             for element in root.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")}
    dotted = ".".join(map(str, version))
    check(names.get("Tarnvale") == dotted,
          f"the manifest gives version {names.get('Tarnvale')}, the project {dotted}")
    check(names.get("Microsoft.Windows.Common-Controls") == "6.0.0.0",
          "the manifest does not ask for common controls 6")
    # A manifest naming another processor stops Windows from starting the program.
    expected = MANIFEST_ARCHITECTURES.get(pe_machine(exe))
    architectures = {element.get("processorArchitecture") for element in
                     root.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")}
    check(architectures == {expected},
          f"the manifest names {sorted(map(str, architectures))} for a {expected} program")
    aware = [element.text.strip().lower() for element in root.iter()
             if element.tag.endswith("}dpiAware")]
    check(aware == ["true"], f"the manifest does not declare system DPI awareness: {aware}")


def parse_version_block(data, offset):
    """One block of a version record: (key, type, value bytes, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    position = offset + 6
    key_end = position
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[position:key_end].decode("utf-16-le")
    position = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[position:position + value_size]
    position = (position + value_size + 3) & ~3
    children = []
    while position < end:
        child, child_end = parse_version_block(data, position)
        children.append(child)
        position = (child_end + 3) & ~3
    return (key, kind, value, children), end


def check_version(exe, version):
    record = resource(exe, RT_VERSION, 1)
    if not check(record is not None, "no version record 1"):
        return
    (key, _, fixed, children), _ = parse_version_block(record, 0)
    check(key == "VS_VERSION_INFO", f"the version record is named {key!r}")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed, 0)
    check(signature == 0xFEEF04BD, "the version record has no fixed file information")
    expected_ms = version[0] << 16 | version[1]
    expected_ls = version[2] << 16 | version[3]
    check((file_ms, file_ls) == (expected_ms, expected_ls),
          f"file version is {file_ms >> 16}.{file_ms & 0xffff}.{file_ls >> 16}.{file_ls & 0xffff}")
    check((product_ms, product_ls) == (expected_ms, expected_ls),
          f"product version is not {'.'.join(map(str, version))}")

    blocks = {child[0]: child for child in children}
    tables = blocks.get("StringFileInfo", (None, None, None, []))[3]
    check([table[0].upper() for table in tables] == [STRING_TABLE],
          f"string tables {[table[0] for table in tables]}, expected only {STRING_TABLE}")
    strings = {}
    for table in tables:
        for name, _, value, _ in table[3]:
            strings[name] = value.decode("utf-16-le").rstrip("\0")
    expected_strings = {
        "FileVersion": record_text(version),
        "ProductVersion": record_text(version),
        "InternalName": exe.stem,
        "OriginalFilename": exe.name,
        "ProductName": PRODUCT_NAME,
    }
    for name, expected in expected_strings.items():
        check(strings.get(name) == expected,
              f"version string {name} is {strings.get(name)!r}, expected {expected!r}")
    for name in VERSION_TEXTS:
        check(bool(strings.get(name, "").strip()), f"version string {name} is missing or empty")
    translations = [child for child in blocks.get("VarFileInfo", (None, None, None, []))[3]
                    if child[0] == "Translation"]
    values = [struct.unpack("<HH", child[2]) for child in translations]
    check(values == [TRANSLATION], f"translations {values}, expected [{TRANSLATION}]")


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    exe = Path(sys.argv[1])
    version = tuple(int(part) for part in sys.argv[2].split("."))
    if not exe.is_file() or len(version) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    if exe.stem == "tarnvale":
        check_icon_group(exe)
        check_about_picture(exe)
        check_manifest(exe, version)
        what = "icon group, About picture, manifest and version record"
    else:
        what = "version record"
    check_version(exe, version)
    for failure in failures:
        print(f"FAILED: {failure}")
    if not failures:
        print(f"{exe.name}: {what} as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
