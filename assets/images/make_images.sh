#!/bin/sh
# Draws the four template images into this folder:
#   leftbg.gif   45 x 45  GIF89a  background tile of Template A pages
#   N02.GIF     600 x 16  GIF89a  separator line under a Template B chapter
#   PAPER10.JPG  64 x 64  JPEG    paper texture of the Template B link bars
#   icon.gif     17 x 14  GIF89a  book mark before each contents entry
# The pixels come from small Python drawings (a fixed pseudo-random sequence
# for the paper, so every run gives the same image); ImageMagick's convert
# writes the files.  Needs python3 and imagemagick.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 - "$tmp" <<'EOF'
import sys, os
out = sys.argv[1]

def hexc(s):
    return [int(s[i:i + 2], 16) for i in (1, 3, 5)]

def mix(a, b, t):
    return [round(a[i] + (b[i] - a[i]) * t) for i in range(3)]

def ppm(name, w, h, pixel):
    with open(os.path.join(out, name), 'wb') as o:
        o.write(b'P6 %d %d 255\n' % (w, h))
        for y in range(h):
            for x in range(w):
                o.write(bytes(pixel(x, y)))

# leftbg: cream with a faint diamond lattice of dots; 45 is a multiple of
# the 9 pixel period, so the tile repeats without a seam.
base, dot, dot2 = hexc('#FFFDF5'), hexc('#EBDFC4'), hexc('#F5EEDC')
def leftbg(x, y):
    if x % 9 == 0 and y % 9 == 0: return dot
    if x % 9 == 4 and y % 9 == 4: return dot2
    return base
ppm('leftbg.ppm', 45, 45, leftbg)

# N02: a teal rule on the text cell's colour, fading towards both ends,
# between two rows of beads, with a gold diamond in the middle.
bg, ink, acc = hexc('#EAF4F1'), hexc('#336666'), hexc('#CC9933')
steps, period = 56, 5
def q(t): return round(t * steps) / steps
def n02(x, y):
    c = bg
    t = max(0.0, 1 - abs(x - 299.5) / 299.5) ** 0.7
    if y in (7, 8): c = mix(bg, ink, q(t))
    elif y in (6, 9): c = mix(bg, ink, q(t * 0.35))
    ph = x % period
    if y in (3, 12) and ph in (0, 1): c = mix(bg, acc, q(t * 0.8))
    if y in (4, 11) and ph == period // 2: c = mix(bg, ink, q(t * 0.5))
    for cx, r, col in ((300, 6, acc), (200, 3, ink), (400, 3, ink)):
        m = abs(x - cx) + abs(y - 7.5)
        if m <= r: c = col if m <= r - 1.5 else mix(col, bg, 0.45)
    return c
ppm('N02.ppm', 600, 16, n02)

# PAPER10: softened noise on beige with a few faint fibres; the softening
# wraps around the edges so the texture tiles.
state = 12345
def rnd():
    global state
    state = (state * 1103515245 + 12345) & 0x7fffffff
    return state / 0x7fffffff
W = H = 64
amp = 42.0
noise = [[rnd() for x in range(W)] for y in range(H)]
def soft(x, y):
    t = 0
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            t += noise[(y + dy) % H][(x + dx) % W] * (2 if dx == dy == 0 else 1)
    return t / 10
paper = (0xE9, 0xDF, 0xC6)
def paper10(x, y):
    v = (soft(x, y) - 0.5) * amp + (noise[y][x] - 0.5) * amp * 0.3
    if (x * 7 + y * 3) % 61 == 0: v -= amp * 0.6
    return [max(0, min(255, round(c + v))) for c in paper]
ppm('PAPER10.ppm', W, H, paper10)

# icon: a closed book (teal cover, cream page edges) with a red ribbon;
# '.' becomes transparent.
art = [
    "..#############..",
    "..#ccccccccccc#p.",
    "..#cHHHHHHHHHc#p.",
    "..#ccccccccccc#p.",
    "..#cccccrccccc#p.",
    "..#cccccrccccc#p.",
    "..#cccccrccccc#p.",
    "..#cccccrccccc#p.",
    "..#cccccrccccc#p.",
    "..#cccccrccccc#p.",
    "..#cccccrccccc#p.",
    "..#############p.",
    "...pppppprpppppp.",
    "........r.r......",
]
pal = {'.': (255, 255, 255), '#': (0x1F, 0x4F, 0x4F), 'c': (0x33, 0x80, 0x80),
       'H': (0xE8, 0xD8, 0xA8), 'p': (0xF4, 0xEC, 0xD0), 'r': (0xCC, 0x22, 0x22)}
ppm('icon.ppm', 17, 14, lambda x, y: pal[art[y][x]])
EOF

convert "$tmp/leftbg.ppm" -strip gif:leftbg.gif
convert "$tmp/N02.ppm" -strip gif:N02.GIF
convert "$tmp/PAPER10.ppm" -strip -quality 95 jpg:PAPER10.JPG
convert "$tmp/icon.ppm" -transparent white -strip gif:icon.gif
for f in leftbg.gif N02.GIF PAPER10.JPG icon.gif; do
  identify -format "%f %m %wx%h %b\n" "$f"
done
