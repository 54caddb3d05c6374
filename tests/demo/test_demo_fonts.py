#!/usr/bin/python3
"""Checks of the demo font script: the same IPA fonts give the same bytes,
and each derived font differs from its input where a real derived font does.

Environment: TAVRIN_SOURCE_DIR, TAVRIN_BUILD_DIR, TAVRIN_SCRATCH_DIR.
"""

import hashlib
import os
import shutil
import subprocess
import unittest

from fontTools.ttLib import TTCollection, TTFont

SOURCE_DIR = os.environ["TAVRIN_SOURCE_DIR"]
BUILD_FONTS = os.path.join(os.environ["TAVRIN_BUILD_DIR"], "demo-fonts")
SCRATCH_DIR = os.environ["TAVRIN_SCRATCH_DIR"]
SCRIPT = os.path.join(SOURCE_DIR, "tools", "demofonts", "make_demo_fonts.py")
NAMES = ["lumora.ttc", "lumorab.ttc", "TavrinGothic.ttc", "TavrinGothicB.ttc",
         "TavrinConsole.ttf"]


def md5(path):
    with open(path, "rb") as stream:
        return hashlib.md5(stream.read()).hexdigest()


class DemoFontsTest(unittest.TestCase):
    def test_a_fresh_run_gives_the_bytes_of_the_build(self):
        folder = os.path.join(SCRATCH_DIR, "fonts-again")
        shutil.rmtree(folder, ignore_errors=True)
        subprocess.run(["/usr/bin/python3", SCRIPT, folder], check=True)
        for name in NAMES:
            self.assertEqual(md5(os.path.join(folder, name)),
                             md5(os.path.join(BUILD_FONTS, name)), name)
        shutil.rmtree(folder)

    def test_inputs_are_the_ipa_faces(self):
        for name, families in (("lumora.ttc", ["IPAGothic", "IPAPGothic"]),
                               ("lumorab.ttc", ["IPAMincho", "IPAPMincho"])):
            fonts = TTCollection(os.path.join(BUILD_FONTS, name)).fonts
            self.assertEqual([font["name"].getDebugName(1) for font in fonts], families)

    def test_gothic_families_are_renamed_with_taller_lines(self):
        for old_name, new_name in (("lumora.ttc", "TavrinGothic.ttc"),
                                   ("lumorab.ttc", "TavrinGothicB.ttc")):
            old_fonts = TTCollection(os.path.join(BUILD_FONTS, old_name)).fonts
            new_fonts = TTCollection(os.path.join(BUILD_FONTS, new_name)).fonts
            self.assertEqual(len(new_fonts), 2)
            for old, new in zip(old_fonts, new_fonts):
                family = new["name"].getDebugName(1)
                self.assertTrue(family.startswith("Tavrin Gothic"), family)
                # Every record of the family, full and PostScript names changed,
                # the Japanese ones included.
                for record in new["name"].names:
                    if record.nameID in (1, 4, 6):
                        self.assertTrue(record.toUnicode().replace(" ", "")
                                        .startswith("TavrinGothic"), record)
                self.assertGreater(new["hhea"].lineGap, old["hhea"].lineGap)
                self.assertGreater(new["hhea"].ascent, old["hhea"].ascent)
                self.assertLess(new["hhea"].descent, old["hhea"].descent)
                self.assertGreater(new["OS/2"].sTypoLineGap, old["OS/2"].sTypoLineGap)
                self.assertGreater(new["OS/2"].usWinDescent, old["OS/2"].usWinDescent)
                self.assertEqual(new.getBestCmap(), old.getBestCmap())
            families = [font["name"].getDebugName(1) for font in new_fonts]
            self.assertEqual(len(set(families)), 2, families)

    def test_console_widens_ascii_outlines_only(self):
        old = TTFont(os.path.join(BUILD_FONTS, "lumora.ttc"), fontNumber=0)
        new = TTFont(os.path.join(BUILD_FONTS, "TavrinConsole.ttf"))
        self.assertEqual(new["name"].getDebugName(1), "Tavrin Console")
        cmap = new.getBestCmap()
        self.assertEqual(cmap, old.getBestCmap())
        letter, kanji = cmap[ord("M")], cmap[ord("字")]
        old_m, new_m = old["glyf"][letter], new["glyf"][letter]
        self.assertGreater(new_m.xMax - new_m.xMin, old_m.xMax - old_m.xMin)
        # The console grid stays: advances are unchanged.
        self.assertEqual(new["hmtx"][letter][0], old["hmtx"][letter][0])
        self.assertEqual(new["glyf"][kanji].coordinates, old["glyf"][kanji].coordinates)


if __name__ == "__main__":
    unittest.main()
