#!/usr/bin/env python3
"""Writes the release zip again from the files cpack staged, so that two builds
of one commit give the same bytes: entries sorted by name, every one with the
same time (the commit's), Unix permissions kept, no extra fields (which would
hold each file's own access and change times, and the builder's user id).

Usage: repack_zip.py ZIP STAGED_DIR EPOCH
The names in the zip start with STAGED_DIR's own name, as cpack's do."""
import os
import sys
import time
import zipfile


def main(zip_path, staged, epoch):
    # A zip's time stamps are DOS times: from 1980, in two-second steps.
    when = time.gmtime(max(int(epoch), 315532800))[:6]
    base = os.path.dirname(os.path.abspath(staged))
    files = []
    for folder, _, names in os.walk(staged):
        files += [os.path.relpath(os.path.join(folder, n), base) for n in names]
    files.sort(key=lambda name: name.encode("utf-8"))
    with zipfile.ZipFile(zip_path + ".new", "w") as out:
        for name in files:
            path = os.path.join(base, name)
            info = zipfile.ZipInfo(name.replace(os.sep, "/"), date_time=when)
            info.create_system = 3  # Unix, so the permissions below count
            info.external_attr = (0o100755 if os.access(path, os.X_OK) else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                out.writestr(info, data.read(), compresslevel=9)
    os.replace(zip_path + ".new", zip_path)


if __name__ == "__main__":
    main(*sys.argv[1:4])
