#!/usr/bin/python3
"""Draw every picture of Zirvel from geometry and write it under resources/.

Every picture is described here as SVG (the layouts of the clock strip, the dialog skins
and the About logo as coordinates) and rendered with rsvg-convert at 1x and, from the same
vector description, at 2x; nothing is ever upscaled. Pillow then flattens the
skins and the clock face to 24-bit RGB and writes the PNG files without any
time stamps, so running the script twice gives the same bytes.

Usage: tools/make-art.py [REPO_ROOT]          (normally via tools/make-resources.sh)
Needs: python3-pil, librsvg2-bin (rsvg-convert).
"""

import io
import os
import subprocess
import sys
import tempfile

from PIL import Image

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
RES = os.path.join(ROOT, "resources")
WRITTEN = []            # every file this run wrote, relative to resources/

# Panel colour shared by every dialog.
PANEL = "#bfbfbf"


# --------------------------------------------------------------------------
# Rendering helpers
# --------------------------------------------------------------------------

def svg_doc(w, h, body, defs=""):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
        f"<defs>{defs}</defs>\n{body}\n</svg>\n"
    )


def render(svg, width, height):
    """Render SVG text to a Pillow RGBA image of exactly width x height pixels."""
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False) as f:
        f.write(svg)
        path = f.name
    try:
        png = subprocess.run(
            ["rsvg-convert", "-w", str(width), "-h", str(height), "-f", "png", path],
            check=True, capture_output=True,
        ).stdout
    finally:
        os.unlink(path)
    img = Image.open(io.BytesIO(png))
    img.load()
    assert img.size == (width, height), (img.size, width, height)
    return img.convert("RGBA")


def save_png(img, relpath, rgb=False):
    path = os.path.join(RES, relpath)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if rgb:
        # 24-bit, as the dialog skins: flatten onto black (they are opaque anyway).
        assert img.getextrema()[3][0] == 255, f"{relpath} has transparent pixels"
        img = img.convert("RGB")
    img.save(path, "PNG", optimize=True)
    WRITTEN.append(relpath)
    return path


def save_text(text, relpath):
    path = os.path.join(RES, relpath)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    WRITTEN.append(relpath)
    return path


def both_scales(svg, w, h, name, rgb=False):
    """Write name.png (w x h) and name@2x.png (2w x 2h) from one vector description."""
    base, ext = os.path.splitext(name)
    save_png(render(svg, w, h), name, rgb)
    save_png(render(svg, 2 * w, 2 * h), f"{base}@2x{ext}", rgb)


def lin(id_, stops, x1=0, y1=0, x2=0, y2=1, units="objectBoundingBox"):
    s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return (f'<linearGradient id="{id_}" gradientUnits="{units}" '
            f'x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">{s}</linearGradient>')


def rad(id_, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None, units="objectBoundingBox"):
    fx = cx if fx is None else fx
    fy = cy if fy is None else fy
    s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return (f'<radialGradient id="{id_}" gradientUnits="{units}" cx="{cx}" cy="{cy}" r="{r}" '
            f'fx="{fx}" fy="{fy}">{s}</radialGradient>')


def rect(x, y, w, h, fill, extra=""):
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{fill}" {extra}/>'


def poly(points, fill, extra=""):
    p = " ".join(f"{x},{y}" for x, y in points)
    return f'<polygon points="{p}" fill="{fill}" {extra}/>'


# --------------------------------------------------------------------------
# 1. Clock face strip, 86 x 19
# --------------------------------------------------------------------------

def clockface_svg():
    W, H, CAP = 86, 19, 10
    defs = (
        lin("bar", [(0, "#f4faff"), (0.45, "#d6ebfc"), (0.55, "#c4e1fa"), (1, "#9ccbf1")])
        + lin("cap", [(0, "#9be58a"), (0.45, "#49b946"), (0.55, "#33a436"), (1, "#1d7a27")])
    )
    b = []
    # Light-blue glossy bar over the whole strip, framed by a 1 px blue line.
    b.append(rect(0, 0, W, H, "url(#bar)"))
    b.append(rect(0.5, 0.5, W - 1, H - 1, "none", 'stroke="#5d93c9" stroke-width="1"'))
    # Green end caps, 10 px each, with a dark seam towards the bar.
    for x in (0, W - CAP):
        b.append(rect(x, 0, CAP, H, "url(#cap)"))
        b.append(rect(x + 0.5, 0.5, CAP - 1, H - 1, "none", 'stroke="#17661f" stroke-width="1"'))
        b.append(rect(x + 1, 1, CAP - 2, 1, "#c8f5bc", 'opacity="0.8"'))   # top highlight
        # A small grip: three raised ridges, the caps are where the strip is dragged.
        for i in range(3):
            y = 6 + 3 * i
            b.append(rect(x + 3, y, 4, 1, "#176a20", 'opacity="0.75"'))
            b.append(rect(x + 3, y + 1, 4, 1, "#b9f0ab", 'opacity="0.75"'))
    # Soft inner shine line under the top edge of the bar.
    b.append(rect(CAP, 1, W - 2 * CAP, 1, "#ffffff", 'opacity="0.9"'))
    return svg_doc(W, H, "\n".join(b), defs), W, H


# --------------------------------------------------------------------------
# 2. Dialog skins
# --------------------------------------------------------------------------
# Fixed layout (pixels, for a skin of W x H):
#   frame: left 5, right 9, bottom 8; blue top area rows 0..27 beside the tab
#   tab: widest from x=42 to x=W-62, narrowing towards the top; silver edge;
#        blue band rows 6..43 (striped dark blue rows 6..22, lighter 23..43)
#   panel RGB(191,191,191): rows 28.. beside the tab, 46.. below it
#   close mark: circle 16 across, centre (W-14, 13)

FRAME_L, FRAME_R, FRAME_B = 5, 9, 8
TOP_BESIDE = 28         # first panel row beside the tab
TAB_L, TAB_R_IN = 42, 62
TAB_BOTTOM = 46         # first panel row below the tab
BAND_TOP, BAND_SPLIT, BAND_BOTTOM = 6, 23, 44
TAB_SLANT_TOP = 9       # the tab is this much narrower at its top on each side
TAB_SLANT_H = 18        # ... and reaches its full width this far down
TAB_EDGE = 3            # silver side edge of the tab


def tab_outline(W, inset=0.0, top=0.0, bottom=TAB_BOTTOM):
    """Points of the tab outline, optionally inset (for the band inside it)."""
    l, r = TAB_L + inset, W - TAB_R_IN - inset
    s = TAB_SLANT_TOP
    # Left and right side: slanted from (l+s, 0) to (l, TAB_SLANT_H), then straight down.
    def xl(y):
        return l + s * max(0.0, 1 - y / TAB_SLANT_H)

    def xr(y):
        return r - s * max(0.0, 1 - y / TAB_SLANT_H)

    pts = [(xl(top), top)]
    if top < TAB_SLANT_H:
        pts.append((l, TAB_SLANT_H))
    pts.append((l, bottom))
    pts.append((r, bottom))
    if top < TAB_SLANT_H:
        pts.append((r, TAB_SLANT_H))
    pts.append((xr(top), top))
    return pts


def skin_svg(W, H):
    defs = (
        lin("top", [(0, "#5a8fe6"), (0.5, "#3a6fd0"), (1, "#2656b4")])
        + lin("side", [(0, "#3a6fd0"), (1, "#2152ae")], 0, 0, 1, 0)
        # Silver of the tab: bright along its top edge, a cooler grey on the sides.
        + lin("silver", [(0, "#ffffff"), (0.35, "#e6e9ee"), (1, "#b4bbc5")], 0, 0, 0, BAND_TOP,
              units="userSpaceOnUse")
        + lin("light", [(0, "#5f9bef"), (0.5, "#3f7fdf"), (1, "#2a63c4")])
        + lin("dark", [(0, "#0d2f80"), (1, "#0a2566")])
        + rad("knob", [(0, "#ffffff"), (0.45, "#e3e6eb"), (0.85, "#a9b0bb"), (1, "#7b8391")],
              cx=0.4, cy=0.35, r=0.65)
    )
    b = []
    # Frame: blue everywhere first, then the gradient top area.
    b.append(rect(0, 0, W, H, "#2458b8"))
    b.append(rect(0, 0, W, TOP_BESIDE, "url(#top)"))
    # Outer bevel of the whole window: light top/left, dark bottom/right.
    b.append(rect(0, 0, W, 1, "#8fb4f4"))
    b.append(rect(0, 0, 1, H, "#7ea6ee"))
    b.append(rect(W - 1, 0, 1, H, "#0b2868"))
    b.append(rect(0, H - 1, W, 1, "#0b2868"))
    b.append(rect(1, 1, W - 2, 1, "#6e9cec", 'opacity="0.6"'))
    # A second tone on the wider right frame.
    b.append(rect(W - FRAME_R + 1, TOP_BESIDE, FRAME_R - 2, H - TOP_BESIDE - 1, "url(#side)", 'opacity="0.6"'))
    # The panel, flat grey; the frame's innermost pixels make it look sunken.
    px0, py0, px1, py1 = FRAME_L, TOP_BESIDE, W - FRAME_R, H - FRAME_B
    b.append(rect(px0, py0, px1 - px0, py1 - py0, PANEL))
    b.append(rect(px0 - 1, py0 - 1, px1 - px0 + 2, 1, "#123779"))          # row 27
    b.append(rect(px0 - 1, py0 - 1, 1, py1 - py0 + 2, "#123779"))          # column 4
    b.append(rect(px0 - 1, py1, px1 - px0 + 2, 1, "#6d98e4"))              # row H-8
    b.append(rect(px1, py0 - 1, 1, py1 - py0 + 2, "#6d98e4"))              # column W-9
    # The raised tab: silver body; every stroke lies inside its outline, so the
    # panel around it stays flat grey.
    b.append(poly(tab_outline(W), "url(#silver)"))
    # Raised bevel: highlight along the left side and the top, shade along the right and bottom.
    hl = tab_outline(W, inset=1.5, top=1.5, bottom=TAB_BOTTOM - 1.5)
    n = len(hl) // 2
    left = hl[:n][::-1]            # bottom-left ... top-left
    right = hl[n:]                 # bottom-right ... top-right
    b.append('<polyline points="%s" fill="none" stroke="#ffffff" stroke-width="1" stroke-opacity="0.9"/>'
             % " ".join(f"{x},{y}" for x, y in left + [right[-1]]))
    b.append('<polyline points="%s" fill="none" stroke="#7f8894" stroke-width="1"/>'
             % " ".join(f"{x},{y}" for x, y in [left[0]] + right))
    ol = tab_outline(W, inset=0.5, top=0.5, bottom=TAB_BOTTOM - 0.5)
    b.append('<polyline points="%s" fill="none" stroke="#454d59" stroke-width="1" stroke-linejoin="round"/>'
             % " ".join(f"{x},{y}" for x, y in ol))
    b.append(f'<line x1="{ol[0][0]}" y1="0.5" x2="{ol[-1][0]}" y2="0.5" stroke="#8d96a3" stroke-width="1"/>')
    # The blue band inside the tab: dark striped top part, lighter part below.
    band_dark = tab_outline(W, inset=TAB_EDGE, top=BAND_TOP, bottom=BAND_SPLIT)
    band_light = tab_outline(W, inset=TAB_EDGE, top=BAND_SPLIT, bottom=BAND_BOTTOM)
    b.append(poly(band_dark, "url(#dark)"))
    b.append('<clipPath id="darkclip">' + poly(band_dark, "#000") + "</clipPath>")
    stripes = "".join(rect(0, y, W, 1, "#2a4fa6", 'opacity="0.55"')
                      for y in range(BAND_TOP + 1, BAND_SPLIT, 2))
    b.append(f'<g clip-path="url(#darkclip)">{stripes}</g>')
    b.append(poly(band_light, "url(#light)"))
    b.append('<clipPath id="lightclip">' + poly(band_light, "#000") + "</clipPath>")
    b.append('<g clip-path="url(#lightclip)">'
             + rect(0, BAND_SPLIT, W, 1, "#8ec0ff", 'opacity="0.9"')
             + rect(0, BAND_BOTTOM - 1, W, 1, "#1b4a9e", 'opacity="0.8"')
             + "</g>")
    # The band sits a little lower than the silver: a dark line along its top and sides.
    b.append(poly(tab_outline(W, inset=TAB_EDGE + 0.5, top=BAND_TOP + 0.5, bottom=BAND_BOTTOM - 0.5), "none",
                  'stroke="#05163f" stroke-width="1" stroke-opacity="0.5"'))
    # Close mark: silver knob with a black cross, 16 across, centred (W-14, 13).
    cx, cy, r = W - 14, 13, 8
    b.append(f'<circle cx="{cx + 0.5}" cy="{cy + 0.7}" r="{r - 0.3}" fill="#000000" opacity="0.3"/>')
    b.append(f'<circle cx="{cx}" cy="{cy}" r="{r - 0.5}" fill="url(#knob)" stroke="#3b424d" stroke-width="1"/>')
    b.append(f'<circle cx="{cx}" cy="{cy}" r="{r - 1.6}" fill="none" stroke="#ffffff" stroke-width="0.8" '
             'stroke-opacity="0.55"/>')
    d = 3.3
    b.append(f'<path d="M{cx - d},{cy - d} L{cx + d},{cy + d} M{cx + d},{cy - d} L{cx - d},{cy + d}" '
             'stroke="#000000" stroke-width="2.1" stroke-linecap="round"/>')
    return svg_doc(W, H, "\n".join(b), defs)


# --------------------------------------------------------------------------
# 3. Application icon: a red alarm clock
# --------------------------------------------------------------------------

def alarm_clock_svg(size=128, small=False):
    """The icon, drawn on a 128 grid and scaled to size.

    small=True is the variant for 32 px: heavier outlines and hands, four hour
    marks, no second hand, so that it stays clear at that size.
    """
    k = 4.0 if small else 1.0          # stroke widths grow for the small variant
    defs = (
        rad("body", [(0, "#ff7a68"), (0.55, "#e02a1e"), (1, "#8e0d0b")], cx=0.38, cy=0.32, r=0.75)
        + rad("bell", [(0, "#ff8a78"), (0.6, "#d8231a"), (1, "#7c0a08")], cx=0.4, cy=0.3, r=0.8)
        + rad("face", [(0, "#ffffff"), (0.8, "#f6f3ea"), (1, "#dcd6c6")], cx=0.45, cy=0.4, r=0.6)
        + lin("metal", [(0, "#f4f4f4"), (1, "#8a8f98")])
    )
    b = [f'<g transform="scale({size / 128})">']
    # Legs.
    for sx in (-1, 1):
        b.append(f'<path d="M{64 + sx * 26},104 L{64 + sx * 38},122" stroke="#3a1010" '
                 f'stroke-width="{11 if small else 9}" stroke-linecap="round"/>')
    # Bells, tilted 40 degrees to each side.
    for sx in (-1, 1):
        b.append(f'<g transform="rotate({sx * 40} 64 70)">'
                 '<rect x="60" y="12" width="8" height="12" fill="#5a1a14"/>'
                 '<path d="M38,26 A26,24 0 0 1 90,26 Z" fill="url(#bell)" stroke="#5e0806" '
                 f'stroke-width="{min(3 * k, 6)}" stroke-linejoin="round"/>'
                 + ('' if small else '<ellipse cx="56" cy="15" rx="8" ry="4" fill="#ffffff" opacity="0.45"/>')
                 + "</g>")
    # Hammer between the bells.
    b.append('<rect x="60" y="12" width="8" height="14" rx="2" fill="url(#metal)" stroke="#4a4a4a" '
             f'stroke-width="{4 if small else 1.5}"/>')
    if not small:
        b.append('<circle cx="64" cy="11" r="5" fill="url(#metal)" stroke="#4a4a4a" stroke-width="1.5"/>')
    # Body.
    b.append(f'<circle cx="64" cy="70" r="48" fill="url(#body)" stroke="#6a0807" stroke-width="{min(3 * k, 6)}"/>')
    if not small:
        b.append('<path d="M30,46 A42,42 0 0 1 80,26" fill="none" stroke="#ffffff" stroke-width="5" '
                 'stroke-linecap="round" opacity="0.35"/>')
    # Face.
    fr = 34 if small else 37
    b.append(f'<circle cx="64" cy="70" r="{fr}" fill="url(#face)" stroke="#7a0c0a" stroke-width="{4 if small else 2.5}"/>')
    for i in range(0, 12, 3 if small else 1):
        big = i % 3 == 0
        r0 = 27 if big else 30
        if small:
            b.append(f'<rect x="60" y="{70 - 31}" width="8" height="8" fill="#222" transform="rotate({i * 30} 64 70)"/>')
        else:
            b.append(f'<line x1="64" y1="{70 - r0}" x2="64" y2="{70 - 33}" stroke="#222" '
                     f'stroke-width="{5 if big else 2.5}" stroke-linecap="round" transform="rotate({i * 30} 64 70)"/>')
    # Hands at 10:08 (and a red second hand on the detailed variant).
    b.append(f'<line x1="64" y1="70" x2="64" y2="{50 if small else 48}" stroke="#111" '
             f'stroke-width="{8 if small else 6}" stroke-linecap="round" transform="rotate(-56 64 70)"/>')
    b.append(f'<line x1="64" y1="70" x2="64" y2="{44 if small else 40}" stroke="#111" '
             f'stroke-width="{7 if small else 4.5}" stroke-linecap="round" transform="rotate(48 64 70)"/>')
    if not small:
        b.append('<line x1="64" y1="78" x2="64" y2="40" stroke="#d11" stroke-width="2" stroke-linecap="round" '
                 'transform="rotate(160 64 70)"/>')
        b.append('<circle cx="64" cy="70" r="4.5" fill="#111"/><circle cx="64" cy="70" r="1.8" fill="#d11"/>')
    else:
        b.append('<circle cx="64" cy="70" r="5" fill="#111"/>')
    b.append("</g>")
    return svg_doc(size, size, "\n".join(b), defs)


# The 16 px icon is drawn by hand, pixel by pixel: at that size a scaled
# drawing turns into a red blur. Two bells, a hammer knob, the red body with
# light upper-left and dark lower-right, a white face with hands at nine
# o'clock, two legs.
ICON16 = """
.KKK...GG...KKK.
KrrRK..GG..KRRdK
KrRK.KKKKKK.KRdK
KKK.KrRRRRRK.KKK
...KrRRRRRRdK...
..KrRRWWWWRRdK..
..KrRWWBWWWRdK..
.KrRWWWBWWWWRdK.
.KrRWBBBWWWWRdK.
.KRRWWWWWWWWRdK.
.KRRWWWWWWWWRdK.
..KRRWWWWWWRdK..
..KdRRWWWWRRdK..
...KdRRRRRRdK...
..LLKKKKKKKKLL..
.LL..........LL.
"""
ICON16_COLOURS = {
    ".": (0, 0, 0, 0), "K": (94, 8, 6, 255), "R": (224, 36, 26, 255), "r": (255, 112, 96, 255),
    "d": (160, 14, 11, 255), "W": (255, 255, 255, 255), "B": (0, 0, 0, 255),
    "L": (58, 16, 16, 255), "G": (150, 154, 162, 255),
}


def pixel_map(text, colours):
    rows = [r for r in text.strip().splitlines()]
    h, w = len(rows), len(rows[0])
    assert all(len(r) == w for r in rows), "ragged pixel map"
    img = Image.new("RGBA", (w, h))
    img.putdata([colours[c] for r in rows for c in r])
    return img


# --------------------------------------------------------------------------
# 4. Dialog icon: a square clock face in a red frame
# --------------------------------------------------------------------------

def dialog_icon_svg():
    """Drawn on a 32 grid so the 32 px image is pixel-aligned; the 64 px one is the same vector."""
    defs = (
        lin("frame", [(0, "#ff6b5a"), (0.5, "#d8221a"), (1, "#8e0c0a")], 0, 0, 1, 1)
        + lin("face", [(0, "#ffffff"), (1, "#e9e5da")], 0, 0, 1, 1)
    )
    b = [
        '<rect x="1" y="1" width="30" height="30" rx="4" fill="url(#frame)"/>',
        '<rect x="1.5" y="1.5" width="29" height="29" rx="3.5" fill="none" stroke="#5e0806" stroke-width="1"/>',
        '<rect x="2.5" y="2.5" width="27" height="27" rx="2.5" fill="none" stroke="#ffffff" stroke-opacity="0.45" stroke-width="1"/>',
        '<rect x="5" y="5" width="22" height="22" rx="1" fill="url(#face)"/>',
        '<rect x="5.5" y="5.5" width="21" height="21" rx="0.5" fill="none" stroke="#6a0a08" stroke-width="1"/>',
    ]
    # Hour marks: bold at 12/3/6/9, fine dots for the rest (placed on the square's rim).
    b += [
        '<rect x="15" y="7" width="2" height="3" fill="#222"/>',
        '<rect x="15" y="22" width="2" height="3" fill="#222"/>',
        '<rect x="7" y="15" width="3" height="2" fill="#222"/>',
        '<rect x="22" y="15" width="3" height="2" fill="#222"/>',
    ]
    for x, y in ((21, 8), (24, 11), (24, 20), (21, 23), (10, 23), (7, 20), (7, 11), (10, 8)):
        b.append(f'<rect x="{x}" y="{y}" width="1" height="1" fill="#555"/>')
    b += [
        # hands at three o'clock: both on the pixel grid, so the 32 px image is crisp
        '<rect x="15" y="9" width="2" height="8" fill="#000"/>',
        '<rect x="15" y="15" width="7" height="2" fill="#000"/>',
        '<circle cx="16" cy="16" r="1.6" fill="#c00"/>',
    ]
    return svg_doc(32, 32, "\n".join(b), defs)


# --------------------------------------------------------------------------
# 5. About logo, 43 x 46: a shield with a clock in a gold ring
# --------------------------------------------------------------------------

def logo_svg():
    W, H = 43, 46
    defs = (
        lin("shield", [(0, "#4d86e4"), (0.5, "#2458b8"), (1, "#0f2f78")])
        + lin("rim", [(0, "#eef1f6"), (0.5, "#b9c0cc"), (1, "#7c8493")])
        + lin("gold", [(0, "#fff2a8"), (0.5, "#f0c030"), (1, "#b07a10")])
        + rad("face", [(0, "#ffffff"), (1, "#e8eef8")], cx=0.45, cy=0.4, r=0.6)
    )
    shield = "M21.5,1 L41,5.5 L41,22 C41,33 32,40.5 21.5,45 C11,40.5 2,33 2,22 L2,5.5 Z"
    b = [
        f'<path d="{shield}" fill="url(#rim)"/>',
        f'<path d="{shield}" fill="none" stroke="#3a4250" stroke-width="1"/>',
        '<path d="M21.5,4 L38,7.8 L38,22 C38,31.5 30.5,37.8 21.5,41.8 C12.5,37.8 5,31.5 5,22 L5,7.8 Z" '
        'fill="url(#shield)" stroke="#0a2054" stroke-width="0.8"/>',
        # gold ring and face
        '<circle cx="21.5" cy="21" r="12" fill="url(#gold)" stroke="#7a5206" stroke-width="0.8"/>',
        '<circle cx="21.5" cy="21" r="9.3" fill="url(#face)" stroke="#9a6c0c" stroke-width="0.6"/>',
    ]
    for i in range(12):
        big = i % 3 == 0
        b.append(f'<line x1="21.5" y1="{21 - (6.6 if big else 7.4)}" x2="21.5" y2="{21 - 8.4}" '
                 f'stroke="#1a2a50" stroke-width="{1.4 if big else 0.7}" transform="rotate({i * 30} 21.5 21)"/>')
    b += [
        # hands at 10:10, the classic "smile"
        '<line x1="21.5" y1="21" x2="21.5" y2="15.5" stroke="#0c1a3c" stroke-width="1.7" '
        'stroke-linecap="round" transform="rotate(-60 21.5 21)"/>',
        '<line x1="21.5" y1="21" x2="21.5" y2="13.5" stroke="#0c1a3c" stroke-width="1.3" '
        'stroke-linecap="round" transform="rotate(60 21.5 21)"/>',
        '<circle cx="21.5" cy="21" r="1.3" fill="#d01818"/>',
        # a small gold star-spark under the clock
        '<path d="M21.5,34.2 L22.6,36.4 L25,36.7 L23.2,38.3 L23.7,40.6 L21.5,39.5 L19.3,40.6 L19.8,38.3 '
        'L18,36.7 L20.4,36.4 Z" fill="url(#gold)" stroke="#7a5206" stroke-width="0.4"/>',
        # gloss
        '<path d="M5.6,8.3 L21.5,4.6 L21.5,12 C14,12.5 8,15 5.6,19 Z" fill="#ffffff" opacity="0.16"/>',
    ]
    return svg_doc(W, H, "\n".join(b), defs), W, H


# --------------------------------------------------------------------------
# Self-check of the fixed geometry (clock strip and dialog skins)
# --------------------------------------------------------------------------

def is_blue(px):
    r, g, b = px[:3]
    return b > 90 and b > r + 40 and b > g + 20


def is_silver(px):
    r, g, b = px[:3]
    return min(r, g, b) > 120 and max(r, g, b) - min(r, g, b) < 40


def check_skin(path, W, H, s):
    img = Image.open(path)
    assert img.mode == "RGB", f"{path}: not 24-bit"
    assert img.size == (W * s, H * s), f"{path}: size {img.size}"
    px = img.load()

    def region(x0, y0, x1, y1):          # logical pixels, end exclusive
        return img.crop((x0 * s, y0 * s, x1 * s, y1 * s))

    grey = (191, 191, 191)
    for box in ((FRAME_L, TOP_BESIDE, TAB_L, H - FRAME_B),                 # left of the tab
                (W - TAB_R_IN, TOP_BESIDE, W - FRAME_R, H - FRAME_B),      # right of the tab
                (TAB_L, TAB_BOTTOM, W - TAB_R_IN, H - FRAME_B)):           # below the tab
        colours = region(*box).getcolors()
        assert colours == [(colours[0][0], grey)], f"{path}: panel {box} not flat grey: {colours[:4]}"
    # Frame: blue at left, right and bottom, and the top area beside the tab.
    for x, y in ((2, H // 2), (W - 5, H // 2), (W // 2, H - 4), (20, 14), (W - 40, 14), (W - 14, 24)):
        assert is_blue(px[x * s, y * s]), f"{path}: frame at {x},{y} is {px[x * s, y * s]}"
    # Silver tab edge across the top, and the band: dark 6..22, lighter 23..43, at the title's x.
    assert is_silver(px[(W // 2) * s, 3 * s]), f"{path}: tab top not silver"
    for y in range(BAND_TOP, BAND_BOTTOM):
        for x in (72, 80, W - TAB_R_IN - 10):
            c = px[x * s + s // 2, y * s + s // 2]
            assert is_blue(c), f"{path}: band at {x},{y} is {c}"
            if y == BAND_BOTTOM - 1:
                continue                      # the band's bottom bevel line
            dark = sum(c) < 330
            assert dark == (y < BAND_SPLIT), f"{path}: band shade at {x},{y}: {c}"
    # Sides of the tab at its widest are silver-edged, not blue.
    for y in (30, 40):
        assert not is_blue(px[(TAB_L + 1) * s, y * s]) and not is_blue(px[(W - TAB_R_IN - 2) * s, y * s])
    # Close mark: silver ring, black cross at the centre, blue around it.
    cx, cy = W - 14, 13
    assert is_silver(px[(cx - 6) * s, cy * s]), f"{path}: close mark ring"
    assert max(px[cx * s, cy * s]) < 70, f"{path}: close mark cross at the centre"
    for dx, dy in ((0, -10), (-10, 0), (10, 0)):
        assert is_blue(px[(cx + dx) * s, (cy + dy) * s]), f"{path}: outside the close mark"


def check_clockface(path, s):
    img = Image.open(path)
    assert img.mode == "RGB" and img.size == (86 * s, 19 * s), f"{path}: {img.mode} {img.size}"
    px = img.load()
    for x in (3, 82):
        r, g, b = px[x * s, 14 * s]
        assert g > r + 40 and g > b + 40, f"{path}: end cap at {x} not green"
    for x in range(11, 75):
        for y in range(3, 17):
            r, g, b = px[x * s, y * s]
            assert b > 200 and r > 140 and b >= r, f"{path}: text area at {x},{y} not light blue"


# --------------------------------------------------------------------------
# Main
# --------------------------------------------------------------------------

SKINS = {"skin-large.png": (484, 315), "skin-medium.png": (339, 221), "skin-small.png": (314, 173)}
ICON_SIZES = (16, 32, 48, 64, 128)


def main():
    os.makedirs(RES, exist_ok=True)

    svg, w, h = clockface_svg()
    both_scales(svg, w, h, "clockface.png", rgb=True)

    for name, (w, h) in SKINS.items():
        both_scales(skin_svg(w, h), w, h, name, rgb=True)

    big = alarm_clock_svg(128)
    save_text(big, "zirvel.svg")
    for s in ICON_SIZES:
        if s == 16:
            img = pixel_map(ICON16, ICON16_COLOURS)
        elif s == 32:
            img = render(alarm_clock_svg(32, small=True), s, s)
        else:
            img = render(big, s, s)
        save_png(img, f"icons/zirvel-{s}.png")

    dlg = dialog_icon_svg()
    save_text(dlg, "dialog-icon.svg")
    save_png(render(dlg, 32, 32), "dialog-icon.png")
    save_png(render(dlg, 64, 64), "dialog-icon@2x.png")

    svg, w, h = logo_svg()
    save_text(svg, "logo.svg")
    both_scales(svg, w, h, "logo.png")

    for s in (1, 2):
        sfx = "@2x" if s == 2 else ""
        check_clockface(os.path.join(RES, f"clockface{sfx}.png"), s)
        for name, (w, h) in SKINS.items():
            check_skin(os.path.join(RES, name.replace(".png", f"{sfx}.png")), w, h, s)
    write_qrc()
    print("make-art: all pictures written and checked; resources.qrc written")


def write_qrc():
    """resources/resources.qrc: every picture under the prefix "/" (sounds stay files)."""
    files = sorted(f for f in WRITTEN if f.endswith((".png", ".svg")))
    lines = ["<!DOCTYPE RCC>", "<!-- Generated by tools/make-art.py: every picture it draws. -->",
             '<RCC version="1.0">', '    <qresource prefix="/">']
    lines += [f"        <file>{f}</file>" for f in files]
    lines += ["    </qresource>", "</RCC>", ""]
    save_text("\n".join(lines), "resources.qrc")


if __name__ == "__main__":
    main()
