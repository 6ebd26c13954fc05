#!/usr/bin/env python3
"""Seeds for the fuzz targets from the committed test archives.

    make-seeds.py OUTDIR
writes OUTDIR/{header,lh1,static,archive,extract}/ from
tests/data/archive/*.lzh: whole archives for the header and archive targets,
each archive behind a few option bytes for the extraction target, and each
member's packed data (with the targets' small prefix) for the decoders."""
import os, struct, sys, glob

here = os.path.dirname(os.path.abspath(__file__))
out = sys.argv[1]
for d in ("header", "lh1", "static", "archive", "extract"):
    os.makedirs(os.path.join(out, d), exist_ok=True)

def entries(data):
    pos = 0
    while pos + 22 <= len(data) and data[pos] != 0:
        method = data[pos + 2:pos + 7]
        packed, original = struct.unpack_from("<II", data, pos + 7)
        level = data[pos + 20]
        if level in (0, 1):
            hs = data[pos] + 2
            start = pos + hs
            if level == 1:  # extended headers sit in front of the data
                ext = struct.unpack_from("<H", data, start - 2)[0]
                while ext:
                    start += ext
                    packed -= ext
                    ext = struct.unpack_from("<H", data, start - 2)[0]
            nxt = start + packed
        elif level == 2:
            hs = struct.unpack_from("<H", data, pos)[0]
            start = pos + hs
            nxt = start + packed
        else:
            break
        yield method, original, data[start:start + packed]
        pos = nxt

n = 0
for path in sorted(glob.glob(os.path.join(here, "..", "tests", "data", "archive", "*.lzh"))):
    data = open(path, "rb").read()
    name = os.path.basename(path)
    for d in ("header", "archive"):
        open(os.path.join(out, d, name), "wb").write(data)
    if len(data) < 65536:
        for options in (0, 1, 4, 16, 34):
            open(os.path.join(out, "extract", "%s-%d" % (name, options)), "wb").write(bytes([options]) + data)
    for i, (method, original, packed) in enumerate(entries(data)):
        size = min(original, 0xFFFF)
        if method == b"-lh1-":
            open(os.path.join(out, "lh1", "%s-%d" % (name, i)), "wb").write(struct.pack(">H", size) + packed[:16384])
        elif method in (b"-lh4-", b"-lh5-", b"-lh6-", b"-lh7-"):
            sel = method[3] - ord("4")
            open(os.path.join(out, "static", "%s-%d" % (name, i)), "wb").write(bytes([sel]) + struct.pack(">H", size) + packed[:16384])
        n += 1
print("seeds from", n, "members")
