#!/usr/bin/env python3
"""Lists the delay-loaded DLLs of a 32-bit PE file and the functions taken
from each, one line per DLL: "NAME.dll: Function ...". GNU ld leaves the
delay-import entry of the data directory empty, so the descriptors are found
by their shape: eight dwords, the first 1 (addresses are RVAs), the second
the RVA of a DLL name, the fourth the RVA of the slots the calls go through,
the fifth the RVA of a name table of hint/name RVAs. A slot that holds 0
instead of the address of the stub that loads the DLL is marked
"(slot-is-0)": the first call through it would crash."""
import struct
import sys


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional
    for i in range(count):
        name, vsize, rva, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        yield rva, max(vsize, rsize), raw


def at(data, rva):
    """The file offset of an RVA, or None."""
    for start, size, raw in sections(data):
        if start <= rva < start + size:
            return raw + rva - start
    return None


def c_string(data, offset):
    end = data.index(b"\0", offset)
    return data[offset:end].decode("ascii", "replace")


def main(path):
    data = open(path, "rb").read()
    found = {}
    for offset in range(0, len(data) - 32, 4):
        attrs, name_rva, _, _, int_rva, _, _, _ = struct.unpack_from("<8I", data, offset)
        if attrs != 1:
            continue
        name_at, int_at = at(data, name_rva), at(data, int_rva)
        if name_at is None or int_at is None:
            continue
        dll = c_string(data, name_at)
        if not dll.lower().endswith(".dll"):
            continue
        iat_at = at(data, struct.unpack_from("<I", data, offset + 12)[0])
        functions = []
        while True:
            entry = struct.unpack_from("<I", data, int_at + 4 * len(functions))[0]
            if entry == 0 or entry & 0x80000000:
                break
            hint_at = at(data, entry)
            if hint_at is None:
                break
            name = c_string(data, hint_at + 2)
            # Until the first call, a slot holds the address of the stub that
            # loads the DLL; a slot of 0 would make that call jump to 0.
            slot = struct.unpack_from("<I", data, iat_at + 4 * len(functions))[0] if iat_at else 0
            functions.append(name if slot else name + "(slot-is-0)")
        if functions:
            found[dll] = functions
    for dll, functions in found.items():
        print(f"{dll}: {' '.join(functions)}")


if __name__ == "__main__":
    main(sys.argv[1])
