#!/usr/bin/env python3
"""Writes an HTML Help project and contents file for a folder of pages.

    compile_bench_project.py FOLDER NAME

FOLDER/NAME.hhc lists every page under FOLDER (titled from its <title>),
nested by folder; FOLDER/NAME-ours.hhp and FOLDER/NAME-chmcmd.hhp list every
file and differ only in the book they write, so both compilers can run on
the same input in one folder.
"""
import html
import os
import re
import sys

folder, name = sys.argv[1], sys.argv[2]
files = []
for root, dirs, names in os.walk(folder):
    dirs.sort()
    for n in sorted(names):
        rel = os.path.relpath(os.path.join(root, n), folder)
        if rel.startswith(name + ".") or rel.startswith(name + "-"):
            continue
        files.append(rel)

title_re = re.compile(rb"<title[^>]*>(.*?)</title", re.I | re.S)


def title_of(rel):
    with open(os.path.join(folder, rel), "rb") as f:
        m = title_re.search(f.read(16384))
    t = html.unescape(m.group(1).decode("utf-8", "replace")) if m else rel
    return " ".join(t.split()).encode("ascii", "xmlcharrefreplace").decode("ascii")


pages = [f for f in files if f.lower().endswith((".htm", ".html"))]
out = ['<HTML><HEAD><!-- Sitemap 1.0 --></HEAD><BODY>',
       '<OBJECT type="text/site properties"><PARAM name="ImageType" value="Folder"></OBJECT>',
       "<UL>"]
open_dirs = []
for p in pages:
    parts = p.split("/")[:-1]
    while open_dirs and open_dirs != parts[:len(open_dirs)]:
        out.append("</UL>")
        open_dirs.pop()
    while len(open_dirs) < len(parts):
        open_dirs.append(parts[len(open_dirs)])
        out.append('<LI><OBJECT type="text/sitemap"><PARAM name="Name" value="%s"></OBJECT>'
                   % html.escape(open_dirs[-1]))
        out.append("<UL>")
    out.append('<LI><OBJECT type="text/sitemap"><PARAM name="Name" value="%s">'
               '<PARAM name="Local" value="%s"></OBJECT>'
               % (html.escape(title_of(p), quote=True), html.escape(p, quote=True)))
out += ["</UL>"] * len(open_dirs)
out.append("</UL></BODY></HTML>")
with open(os.path.join(folder, name + ".hhc"), "w", newline="\r\n") as f:
    f.write("\n".join(out) + "\n")

default = "index.html" if "index.html" in files else (pages[0] if pages else "")
for who in ("ours", "chmcmd"):
    with open(os.path.join(folder, "%s-%s.hhp" % (name, who)), "w", newline="\r\n") as f:
        f.write("[OPTIONS]\nCompiled file=%s-%s.chm\nContents file=%s.hhc\n"
                "Default topic=%s\nTitle=%s\nLanguage=0x409 English (United States)\n"
                "Display compile progress=No\n\n[FILES]\n%s\n"
                % (name, who, name, default, name, "\n".join(files)))
print(len(files), "files,", len(pages), "pages")
