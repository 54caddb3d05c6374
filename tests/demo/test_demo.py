#!/usr/bin/python3
"""End-to-end checks of scripts/demo and the programs it runs, on the demo
fonts of the build under test.

Environment: TAVRIN_SOURCE_DIR (the checkout), TAVRIN_BUILD_DIR (a configured
build whose demo payloads are embedded), TAVRIN_SCRATCH_DIR (where the demo
folders go).
"""

import os
import shutil
import subprocess
import sys
import unittest

from fontTools.ttLib import TTCollection, TTFont

SOURCE_DIR = os.environ["TAVRIN_SOURCE_DIR"]
BUILD_DIR = os.environ["TAVRIN_BUILD_DIR"]
SCRATCH_DIR = os.environ["TAVRIN_SCRATCH_DIR"]
FONTS = os.path.join(BUILD_DIR, "demo-fonts")

EXPECTED_FAMILIES = {
    "TavrinGothic.ttc": ["Tavrin Gothic", "Tavrin Gothic P"],
    "TavrinGothicB.ttc": ["Tavrin Gothic B", "Tavrin Gothic BP"],
    "TavrinConsole.ttf": ["Tavrin Console"],
}
OUTPUTS = sorted(EXPECTED_FAMILIES)


def read(path):
    with open(path, "rb") as stream:
        return stream.read()


def fonttools_families(path):
    if path.endswith(".ttc"):
        fonts = TTCollection(path).fonts
    else:
        fonts = [TTFont(path)]
    return [font["name"].getDebugName(1) for font in fonts]


def fontconfig_families(path):
    scan = subprocess.run(["fc-scan", "--format", "%{family}\n", path],
                          check=True, capture_output=True, text=True)
    return scan.stdout.splitlines()


class DemoTest(unittest.TestCase):
    def scratch(self, name):
        folder = os.path.join(SCRATCH_DIR, name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        return folder

    def run_demo(self, folder, *options, answers=None):
        command = [os.path.join(SOURCE_DIR, "scripts", "demo"), *options,
                   "--build-dir", BUILD_DIR, folder]
        return subprocess.run(command, input=answers, capture_output=True, text=True,
                              stdin=None if answers is not None else subprocess.DEVNULL)

    def assert_outputs_are_derived_fonts(self, folder, names=OUTPUTS):
        for name in names:
            output = os.path.join(folder, name)
            self.assertTrue(os.path.isfile(output), name + " was not written")
            self.assertEqual(read(output), read(os.path.join(FONTS, name)),
                             name + " differs from the derived font of the build")

    def assert_demo_succeeded(self, result):
        self.assertEqual(result.returncode, 0,
                         "demo failed:\n" + result.stdout + result.stderr)

    def test_answered_demo_writes_the_derived_fonts(self):
        folder = self.scratch("answered")
        result = self.run_demo(folder, "--yes")
        self.assert_demo_succeeded(result)
        self.assert_outputs_are_derived_fonts(folder)
        for name in OUTPUTS:
            path = os.path.join(folder, name)
            self.assertEqual(fonttools_families(path), EXPECTED_FAMILIES[name])
            self.assertEqual(fontconfig_families(path), EXPECTED_FAMILIES[name])
            # The demo's own listing names them too.
            for family in EXPECTED_FAMILIES[name]:
                self.assertIn("    %s\n" % family, result.stdout)
        self.assertFalse(os.path.exists(os.path.join(folder, "temp.bin")))
        self.assertEqual(read(os.path.join(folder, "lumora.ttc")),
                         read(os.path.join(FONTS, "lumora.ttc")))

    def test_piped_answers_go_one_line_to_each_program(self):
        folder = self.scratch("piped")
        # A program that took more than its own line would leave console_gen
        # with no answer, a cancel.
        result = self.run_demo(folder, answers="no\nyes\n")
        # gothic_gen was declined, so the demo reports its fonts missing.
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertIn("gothic_gen was cancelled (exit status 1)", result.stdout)
        self.assertIn("console_gen finished (exit status 0)", result.stdout)
        self.assert_outputs_are_derived_fonts(folder, ["TavrinConsole.ttf"])
        for name in ("TavrinGothic.ttc", "TavrinGothicB.ttc"):
            self.assertFalse(os.path.exists(os.path.join(folder, name)), name)

    def test_end_of_input_cancels_both_programs(self):
        folder = self.scratch("no-answers")
        result = self.run_demo(folder, answers="")
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertEqual(sorted(os.listdir(folder)), ["lumora.ttc", "lumorab.ttc"])

    def test_second_run_replaces_existing_outputs(self):
        folder = self.scratch("rerun")
        self.assert_demo_succeeded(self.run_demo(folder, "--yes"))
        # Longer than the real fonts, so a write that does not truncate shows.
        garbage = b"not a font\n" * 1500000
        for name in OUTPUTS:
            with open(os.path.join(folder, name), "wb") as stream:
                stream.write(garbage)
        self.assert_demo_succeeded(self.run_demo(folder, "--yes"))
        self.assert_outputs_are_derived_fonts(folder)

    def test_wrong_gothic_input_is_named_in_the_md5_message(self):
        folder = self.scratch("wrong-input")
        # The Mincho collection where the Gothic one belongs.
        shutil.copy(os.path.join(FONTS, "lumorab.ttc"), os.path.join(folder, "lumora.ttc"))
        shutil.copy(os.path.join(FONTS, "lumorab.ttc"), os.path.join(folder, "lumorab.ttc"))
        environment = dict(os.environ, LC_ALL="C.UTF-8")
        for program in ("gothic_gen", "console_gen"):
            result = subprocess.run(
                [os.path.join(BUILD_DIR, "programs", program, program)],
                cwd=folder, input="yes\n", capture_output=True, text=True, env=environment)
            self.assertEqual(result.returncode, 0, program)
            self.assertIn("[エラー] lumora.ttc のMD5が違います.", result.stderr, program)
            self.assertNotIn("正常終了", result.stdout, program)
        # The first job failed, so neither Gothic output was written.
        self.assertEqual(sorted(os.listdir(folder)), ["lumora.ttc", "lumorab.ttc"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv)
