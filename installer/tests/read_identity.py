#!/usr/bin/env python3
"""Reads back what a Windows program file says about itself, without running
it: the sizes of its icon, string resource 1 and its version strings, one
"key value" line each (icotool and wrestool from icoutils do the extracting).

    read_identity.py <program.exe>
    read_identity.py --check <version> <program.exe>...

--check instead says what is missing or wrong: every icon size, product name
and version, a description and a copyright; a screensaver (.scr) also needs
its display name as string 1. Exit code 1 if anything is.
"""

import struct
import subprocess
import sys
import tempfile


def resource(path, *selector):
    return subprocess.run(["wrestool", "-x", "--raw", *selector, path],
                          check=True, capture_output=True).stdout


def string_one(block):
    # A string table block holds 16 counted UTF-16 strings; string 1 is the
    # second of block 1.
    pos = 0
    for i in range(2):
        (n,) = struct.unpack_from("<H", block, pos)
        if i == 1:
            return block[pos + 2:pos + 2 + 2 * n].decode("utf-16-le")
        pos += 2 + 2 * n


def version_strings(data, pos=0, end=None, out=None):
    """Walks a VS_VERSIONINFO tree and collects its String entries."""
    out = {} if out is None else out
    end = len(data) if end is None else end
    while pos + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, pos)
        if length == 0:
            break
        key_end = pos + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[pos + 6:key_end].decode("utf-16-le")
        value = (key_end + 2 + 3) & ~3
        size = value_length * (2 if kind == 1 else 1)
        if kind == 1 and value_length and key not in (
                "StringFileInfo", "VarFileInfo") and len(key) != 8:
            out[key] = data[value:value + size].decode("utf-16-le").rstrip("\0")
        children = (value + size + 3) & ~3
        version_strings(data, children, pos + length, out)
        pos = (pos + length + 3) & ~3
    return out


def icon_sizes(path):
    # icotool cannot read PNG images from a pipe.
    with tempfile.NamedTemporaryFile(suffix=".ico") as ico:
        subprocess.run(["wrestool", "-x", "-t14", "-o", ico.name, path], check=True)
        listing = subprocess.run(["icotool", "-l", ico.name], check=True,
                                 capture_output=True).stdout.decode()
    sizes = set()
    for line in listing.splitlines():
        fields = dict(f.lstrip("-").split("=", 1) for f in line.split() if "=" in f)
        sizes.add(int(fields["width"]))
    return sorted(sizes)


def identity(path):
    found = {"icon": " ".join(str(s) for s in icon_sizes(path))}
    strings = resource(path, "-t6", "-n1")
    if strings:
        found["string1"] = string_one(strings)
    found.update(version_strings(resource(path, "-t16")))
    return found


def problems(path, version):
    found = identity(path)
    expect = {"icon": "16 24 32 48 64 128 256", "ProductName": "Velumira",
              "ProductVersion": version, "FileVersion": version}
    if path.lower().endswith(".scr"):
        expect["string1"] = "Velumira"
    for key, value in expect.items():
        if found.get(key) != value:
            yield f"{path}: {key} is {found.get(key)!r}, not {value!r}"
    for key in ("FileDescription", "LegalCopyright"):
        if not found.get(key):
            yield f"{path}: no {key}"


def main():
    if sys.argv[1] == "--check":
        bad = [p for path in sys.argv[3:] for p in problems(path, sys.argv[2])]
        print("\n".join(bad) or "identity ok: " + " ".join(sys.argv[3:]))
        sys.exit(1 if bad else 0)
    for key, value in identity(sys.argv[1]).items():
        print(key, value)


if __name__ == "__main__":
    main()
