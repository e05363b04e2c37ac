#!/usr/bin/env python3
"""Makes the hostile books of this folder from a small chmcmd book.

  python3 make_books.py        (needs chmcmd from fp-utils)

base.chm           a small well-made book (4 pages in two folders), from chmcmd
traversal.chm      base.chm with its page names replaced by names that try to
                   leave the output folder, plus two good ones
symlink.chm        base.chm with a page named /sub/x.htm and /ok.htm, for a
                   test that plants OUTDIR/sub as a symbolic link first
length-bomb.chm    base.chm whose pages claim huge lengths and offsets
"""
import os
import shutil
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def enc(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def dec(b, p):
    v = 0
    while True:
        c = b[p]
        p += 1
        v = (v << 7) | (c & 0x7F)
        if not c & 0x80:
            return v, p


def make_base(tmp):
    os.makedirs(os.path.join(tmp, "sub"))
    pages = {"p1.htm": "one", "p2.htm": "two", "p3.htm": "three",
             "sub/s.htm": "sub page"}
    for name, text in pages.items():
        with open(os.path.join(tmp, name), "w") as f:
            f.write("<html><body>%s</body></html>\n" % text)
    with open(os.path.join(tmp, "base.hhp"), "w", newline="") as f:
        f.write("[OPTIONS]\r\nCompiled file=base.chm\r\nDefault topic=p1.htm\r\n"
                "Title=Base\r\n\r\n[FILES]\r\np1.htm\r\np2.htm\r\np3.htm\r\n"
                "sub\\s.htm\r\n")
    subprocess.run(["chmcmd", "base.hhp"], cwd=tmp, check=True,
                   stdout=subprocess.DEVNULL)
    return open(os.path.join(tmp, "base.chm"), "rb").read()


def chunks(book):
    hs1 = struct.unpack_from("<Q", book, 0x48)[0]
    itsp_len, _, chunk_size = struct.unpack_from("<III", book, hs1 + 8)
    num = struct.unpack_from("<I", book, hs1 + 0x2C)[0]
    start = hs1 + itsp_len
    return [(start + i * chunk_size, chunk_size) for i in range(num)]


def rewrite(book, change):
    """Rebuilds every listing chunk with entries passed through change()."""
    book = bytearray(book)
    for at, size in chunks(book):
        chunk = book[at:at + size]
        if chunk[:4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", chunk, 4)[0]
        end, p, entries = size - free, 0x14, []
        while p < end:
            n, p = dec(chunk, p)
            name = bytes(chunk[p:p + n])
            p += n
            sec, p = dec(chunk, p)
            off, p = dec(chunk, p)
            ln, p = dec(chunk, p)
            entries.append((name, sec, off, ln))
        entries = change(entries)
        body = b"".join(enc(len(n)) + n + enc(s) + enc(o) + enc(l)
                        for n, s, o, l in entries)
        assert 0x14 + len(body) + 2 <= size, "entries do not fit the chunk"
        new = chunk[:0x14] + body + bytes(size - 0x14 - len(body))
        struct.pack_into("<I", new, 4, size - 0x14 - len(body))
        struct.pack_into("<H", new, size - 2, len(entries))
        book[at:at + size] = new
    return bytes(book)


BAD_NAMES = [b"/../evil.htm", b"/a/../../x.htm", b"/\\..\\x.htm",
             b"/C:/x.htm", b"//server/share/x.htm", b"/sub/../../y.htm",
             b"/./dot.htm", b"/ctl\x01name.htm", b"/tab\tname.htm",
             b"/nul\x00name.htm", b"/C:x.htm", b"/a\\b.htm"]


def traversal(entries):
    page = next(e for e in entries if e[0] == b"/p1.htm")
    out = [e for e in entries if not e[0].endswith(b".htm")]
    out += [(n, page[1], page[2], page[3]) for n in BAD_NAMES]
    out += [(b"/good.htm", page[1], page[2], page[3]),
            (b"/sub/s.htm",) + next(e for e in entries
                                     if e[0] == b"/sub/s.htm")[1:]]
    return out


def symlink(entries):
    page = next(e for e in entries if e[0] == b"/p1.htm")
    out = [e for e in entries if not e[0].endswith(b".htm")]
    return out + [(b"/sub/x.htm",) + page[1:], (b"/ok.htm",) + page[1:]]


def bomb(entries):
    out = []
    for n, s, o, l in entries:
        if n == b"/p1.htm":
            l = 1 << 60
        elif n == b"/p2.htm":
            o = 1 << 50
        elif n == b"/p3.htm":
            s = 7
        out.append((n, s, o, l))
    return out


def main():
    tmp = tempfile.mkdtemp()
    try:
        base = make_base(tmp)
    finally:
        shutil.rmtree(tmp)
    books = {"base.chm": base,
             "traversal.chm": rewrite(base, traversal),
             "symlink.chm": rewrite(base, symlink),
             "length-bomb.chm": rewrite(base, bomb)}
    for name, data in books.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
