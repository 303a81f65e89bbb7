"""Checks of the end-to-end side's own tools that need no Wine: the reader of
the program's headers and resource scripts (program_ids.py), and the probe's
command table (probe.cpp) against what uses it and the README's list.
CTest runs it as e2e_tools."""

import os
import re
import unittest

from program_ids import REPO, Resources, read_numbers, read_script

HERE = os.path.dirname(os.path.abspath(__file__))


class HeaderLines(unittest.TestCase):

    def test_numbers_of_define_and_const_lines(self):
        # (line, the name it holds, its value or None when it is not read);
        # each line sees the names of the lines before it.
        lines = [
            ("#define IDI_LINKED 512", "IDI_LINKED", 512),
            ("#define ID_EXIT                   32769", "ID_EXIT", 32769),
            ("#define IDC_STATIC             (-1)", "IDC_STATIC", -1),
            ("#define MASK 0x1F  // five bits", "MASK", 0x1F),
            ("#define SAME_AS_LINKED IDI_LINKED", "SAME_AS_LINKED", 512),
            ("const UINT WM_TRAYICON = WM_USER + 100;  // 1124", "WM_TRAYICON", 1124),
            ("const UINT WM_QUERY = WM_APP + 1;", "WM_QUERY", 0x8001),
            ("const LPARAM NEXT = IDI_LINKED + MASK + 0x1;", "NEXT", 544),
            ("const UINT_PTR POLL_TIMER = 0xBABEFACE;", "POLL_TIMER", 0xBABEFACE),
            ("#define ZEVARIDA_RESOURCE_H", "ZEVARIDA_RESOURCE_H", None),
            ("#define DECLARE_DIALOG_CLASS(theClass) \\", "DECLARE_DIALOG_CLASS", None),
            ("const UINT SIZE = sizeof(RECT);", "SIZE", None),
            ("const UINT LATER = NOT_YET_READ + 1;", "LATER", None),
            ("    UINT stop = 0;            // a field of a record", "stop", None),
        ]
        values = read_numbers("\n".join(line for line, _, _ in lines))
        for line, name, expected in lines:
            with self.subTest(line=line):
                self.assertEqual(values.get(name), expected)

    def test_strings_and_captions_of_a_resource_script(self):
        numbers = {"IDS_QUOTE": 10, "IDS_PERCENT": 11, "IDD_ONE": 100, "IDD_TWO": 101}
        strings, captions = read_script("\n".join([
            'IDD_ONE DIALOG 0, 0, 155, 100',
            'STYLE DS_MODALFRAME | WS_CAPTION',
            'CAPTION "Say ""Hello"""',
            'BEGIN',
            '    LTEXT           "Not a caption", IDC_STATIC, 5, 5, 145, 16',
            'END',
            'IDD_TWO DIALOGEX 0, 0, PAGE_WIDTH, PAGE_HEIGHT',
            'STYLE DS_CONTROL | WS_CHILD',
            'BEGIN',
            '    CAPTION "inside a body"',
            'END',
            'STRINGTABLE',
            'BEGIN',
            '    IDS_QUOTE               "a ""quoted"" word"',
            '    IDS_PERCENT             "Poor Link Quality %d%%"',
            '    IDS_UNKNOWN             "a number no header gives"',
            'END',
            'IDD_THREE DIALOG 0, 0, 155, 80',
            'CAPTION "After the strings"',
            'BEGIN',
            'END',
        ]), numbers)
        self.assertEqual(strings, {10: 'a "quoted" word', 11: "Poor Link Quality %d%%"})
        self.assertEqual(captions, {"IDD_ONE": 'Say "Hello"', "IDD_THREE": "After the strings"})


class LookUps(unittest.TestCase):

    def setUp(self):
        self.ids = Resources(["res/resource.h", "tray/TrayMessages.h"], "res/ZEVARIDA.rc")

    def test_named_gives_the_numbers_of_one_prefix(self):
        commands = self.ids.named("ID_")
        self.assertEqual(commands["ID_EXIT"], self.ids.ID_EXIT)
        self.assertEqual([name for name in commands if not name.startswith("ID_")], [])

    def test_a_name_no_header_holds_fails_with_the_headers(self):
        with self.assertRaisesRegex(AttributeError, r"ID_NONE is in none of res/resource.h, tray/TrayMessages.h$"):
            getattr(self.ids, "ID_NONE")

    def test_a_text_or_caption_the_script_lacks_fails_with_the_script(self):
        with self.assertRaisesRegex(KeyError, "ID_EXIT .* is not in the string table of res/ZEVARIDA.rc"):
            self.ids.text("ID_EXIT")
        with self.assertRaisesRegex(KeyError, "IDR_TRAY_MENU has no CAPTION in res/ZEVARIDA.rc"):
            self.ids.caption("IDR_TRAY_MENU")


def probe_commands():
    """The names in probe.cpp's command table, in its order."""
    with open(os.path.join(HERE, "probe.cpp")) as f:
        table = f.read().split("const Command kCommands[] = {", 1)[1].split("};", 1)[0]
    return re.findall(r'^\s*\{"([a-z-]+)", cmd', table, re.M)


def callers():
    """The texts of the cases, their helpers and the scripts that run the probe."""
    paths = [os.path.join(HERE, name) for name in os.listdir(HERE)
             if name.endswith(".py") and name != os.path.basename(__file__)]
    scripts = os.path.join(REPO, "scripts")
    paths += [os.path.join(scripts, name) for name in os.listdir(scripts)]
    texts = []
    for path in paths:
        with open(path, encoding="utf-8") as f:
            texts.append(f.read())
    return "\n".join(texts)


class ProbeCommands(unittest.TestCase):

    def test_every_command_is_used_by_a_case_or_a_script(self):
        # A command is named as a string of its own, or after the probe's
        # path in a command line (the service's); help is for people.
        text = callers()
        unused = [name for name in probe_commands()
                  if name != "help" and '"%s"' % name not in text and '" %s ' % name not in text]
        self.assertEqual(unused, [])

    def test_the_readme_lists_the_commands_of_the_table(self):
        with open(os.path.join(HERE, "README.md"), encoding="utf-8") as f:
            section = f.read().split("## The probe's commands", 1)[1].split("\n## ", 1)[0]
        listed = re.findall(r"`([a-z-]+)`", section)
        self.assertEqual(sorted(listed), sorted(probe_commands()))


if __name__ == "__main__":
    unittest.main()
