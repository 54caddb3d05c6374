#!/usr/bin/python3
"""Writes the demo fonts: two input collections made from Debian's IPA fonts
and the three derived fonts that the demo payloads turn them into.

    /usr/bin/python3 make_demo_fonts.py OUTPUT_DIR

Writes lumora.ttc, lumorab.ttc, TavrinGothic.ttc, TavrinGothicB.ttc and
TavrinConsole.ttf. The bytes depend only on the IPA font files: nothing is
stamped with the time, so a payload made from them stays valid.
"""

import os
import sys

from fontTools.ttLib import TTCollection, TTFont

GOTHIC_FACES = [
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
]
MINCHO_FACES = [
    "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",
    "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf",
]

# 2026-01-01 00:00:00 UTC in seconds since 1904, the epoch of head.modified.
FIXED_MODIFIED = 3850329600
VERSION = "5.00+ rev1"


def load(path, number=-1):
    # Timestamps are left as they are; bounding boxes are still recomputed so
    # that a changed outline gets a correct box.
    return TTFont(path, fontNumber=number, recalcTimestamp=False)


def build_collection(faces):
    collection = TTCollection()
    collection.fonts = [load(path) for path in faces]
    return collection


def rename(font, family):
    """Gives the face a new family; every name record that carried the old
    family, full, unique or PostScript name now carries the new one."""
    postscript = family.replace(" ", "")
    names = {
        1: family,
        3: "%s %s" % (family, VERSION),
        4: family,
        5: "Version " + VERSION,
        6: postscript,
    }
    table = font["name"]
    for record in table.names:
        if record.nameID in names:
            record.string = names[record.nameID]
    font["head"].modified = FIXED_MODIFIED


def adjust_metrics(font, extra_ascent, extra_descent, line_gap):
    """Taller line: the derived family keeps more room above and below."""
    hhea = font["hhea"]
    hhea.ascent += extra_ascent
    hhea.descent -= extra_descent
    hhea.lineGap = line_gap
    os2 = font["OS/2"]
    os2.sTypoAscender += extra_ascent
    os2.sTypoDescender -= extra_descent
    os2.sTypoLineGap = line_gap
    os2.usWinAscent += extra_ascent
    os2.usWinDescent += extra_descent


def widen_ascii(font, factor):
    """Widens the strokes of the printable ASCII glyphs about the middle of
    their cell. The advances stay, so the console grid of one half-width cell
    per ASCII character remains."""
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    cmap = font.getBestCmap()
    names = sorted({cmap[code] for code in range(0x21, 0x7F) if code in cmap})
    for name in names:
        glyph = glyf[name]
        if glyph.numberOfContours <= 0:
            continue  # composites and empty glyphs follow their components
        advance, _ = hmtx[name]
        middle = advance / 2
        coordinates = glyph.coordinates
        for index, (x, y) in enumerate(coordinates):
            coordinates[index] = (round(middle + (x - middle) * factor), y)
        # The hints were made for the old outline.
        glyph.program.fromBytecode(b"")
        glyph.recalcBounds(glyf)
        hmtx[name] = (advance, glyph.xMin)
    return len(names)


def derive_console(source_path):
    font = load(source_path, number=0)
    rename(font, "Tavrin Console")
    adjust_metrics(font, 64, 64, 128)
    widen_ascii(font, 1.08)
    return font


def write_fonts(output_dir):
    os.makedirs(output_dir, exist_ok=True)

    def path(name):
        return os.path.join(output_dir, name)

    build_collection(GOTHIC_FACES).save(path("lumora.ttc"))
    build_collection(MINCHO_FACES).save(path("lumorab.ttc"))

    for faces, families, output in (
        (GOTHIC_FACES, ["Tavrin Gothic", "Tavrin Gothic P"], "TavrinGothic.ttc"),
        (MINCHO_FACES, ["Tavrin Gothic B", "Tavrin Gothic BP"], "TavrinGothicB.ttc"),
    ):
        collection = build_collection(faces)
        for font, family in zip(collection.fonts, families):
            rename(font, family)
            adjust_metrics(font, 96, 64, 200)
        collection.save(path(output))

    # The console font is the first face of lumora.ttc, read from there.
    derive_console(path("lumora.ttc")).save(path("TavrinConsole.ttf"))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: %s OUTPUT_DIR\n" % argv[0])
        return 2
    write_fonts(argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
