#!/usr/bin/env python3
"""Writes a zip that depends only on what it holds: entries in name order, each dated
SOURCE_DATE_EPOCH in UTC, with mode rwxr-xr-x or rw-r--r-- and no owner.

Usage: pack_zip.py OUT.zip INPUT...  An INPUT that is a zip gives its entries; any other
file is taken under its own name. OUT may be one of the INPUTs."""
import os
import sys
import time
import zipfile

DOS_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def entries(path):
    if zipfile.is_zipfile(path):
        with zipfile.ZipFile(path) as archive:
            for info in archive.infolist():
                executable = info.is_dir() or (info.external_attr >> 16) & 0o111
                yield info.filename, archive.read(info), executable
    else:
        with open(path, "rb") as file:
            yield os.path.basename(path), file.read(), os.stat(path).st_mode & 0o111


def main(out, inputs):
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH", time.time())), DOS_EPOCH)
    taken = sorted((entry for path in inputs for entry in entries(path)), key=lambda e: e[0])
    with zipfile.ZipFile(out, "w") as archive:
        for name, data, executable in taken:
            info = zipfile.ZipInfo(name, time.gmtime(epoch)[:6])
            info.create_system = 3  # modes as Unix gives them
            if info.is_dir():
                info.external_attr = (0o40755 << 16) | 0x10  # 0x10: a folder, for Windows
            else:
                info.external_attr = (0o100755 if executable else 0o100644) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
