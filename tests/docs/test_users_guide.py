#!/usr/bin/env python3
"""README.txt of the release, made from docs/users-guide.md by scripts/package.py: it
reads in Notepad and a console without a wrap, and no command in it is split."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
import package  # noqa: E402


def faults_of(markdown):
    lines = markdown.split("\n")
    return package.guide_faults(lines, package.plain_guide(lines, "1.2.3.4"))


class TheGuide(unittest.TestCase):
    def test_goes_out_without_faults(self):
        text = package.user_guide("1.1.0.9").decode("ascii")
        self.assertTrue(text.endswith("\r\n"))
        lines = text.split("\r\n")[:-1]
        self.assertEqual(lines[0], "Tarnvale 1.1.0.9: using it on Windows")
        self.assertEqual(lines[1], "=" * len(lines[0]))
        self.assertNotIn("`", text)
        self.assertNotIn("\n", text.replace("\r\n", ""))
        self.assertLessEqual(max(len(line) for line in lines), package.WIDTH)

    def test_headings_are_underlined_and_lose_their_marks(self):
        lines = package.plain_guide(["# Title", "", "## The `--wait` option", "text"], "1")
        self.assertEqual(lines[2:], ["", "The --wait option", "-----------------", "text"])


class AFault(unittest.TestCase):
    def test_a_wide_line(self):
        faults = faults_of("# T\n\n" + "word " * 16 + "end\n")
        self.assertEqual(len(faults), 1)
        self.assertIn("83 characters wide", faults[0])

    def test_a_line_of_eighty_is_fine(self):
        self.assertEqual(faults_of("# T\n\n" + "x" * 80 + "\n"), [])

    def test_a_command_in_backticks_split_by_a_wrap(self):
        faults = faults_of('# T\n\nSo `tarnvale.exe "Untitled -\nNotepad"` fails.\n')
        self.assertEqual(len(faults), 2)
        self.assertTrue(all("backticks" in fault for fault in faults))

    def test_an_indented_command_that_goes_on_in_the_next_line(self):
        faults = faults_of('# T\n\n    "%~dp0tarnvale-list.exe" --wait 60 Untitled -\nNotepad\n')
        self.assertEqual(len(faults), 1)
        self.assertIn("without its indent", faults[0])

    def test_commands_in_a_row_and_in_a_list_are_fine(self):
        self.assertEqual(faults_of("# T\n\n    start a\n    start b\n\n- item:\n\n"
                                   "      tarnvale.exe x\n\n  more\n"), [])

    def test_a_character_other_than_ascii(self):
        faults = faults_of("# T\n\nA title \u2014 with a dash.\n")
        self.assertEqual(len(faults), 1)
        self.assertIn("not ASCII", faults[0])


if __name__ == "__main__":
    unittest.main()
