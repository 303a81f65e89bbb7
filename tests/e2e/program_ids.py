"""The numbers and texts of ZEVARIDA.EXE and of its configuration applet, read
at import from the sources they are built from, so that the cases and the
scripts write none of them again:

- PROGRAM: the resource numbers of res/resource.h (menu commands, dialogs,
  controls, strings, icons), the private messages and events of
  tray/TrayMessages.h (WM_TRAYICON, TRAY_CLICKED, CLICK_DELAY_MS, ...) and the
  help command of framework/DialogBase.h; the string table and the dialogs'
  captions of res/ZEVARIDA.rc.
- APPLET: the resource numbers of tavrocfg/res/resource.h and the captions of
  tavrocfg/res/TavroCfg.rc.

A value is an attribute (PROGRAM.ID_EXIT, APPLET.IDC_PAGE); texts are looked
up by the name of their number (PROGRAM.text("IDS_RADIO_OFF"),
PROGRAM.caption("IDD_REMOVE_ICON")).

What is read: `#define NAME VALUE` and `const TYPE NAME = VALUE;` lines, whose
VALUE is a number (decimal or 0x-hexadecimal, in parentheses or negative), a
name read before it or Windows' WM_USER or WM_APP, or a sum of those; a
STRINGTABLE's `NAME "text"` lines (`""` inside the text is one quote); the
CAPTION of each DIALOG or DIALOGEX. Lines of any other form are passed over,
so a header may hold code; a name asked for that was not read fails with the
files it was looked for in."""

import os
import re

import win32

REPO = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# Windows' own names that the program's headers build on.
WINDOWS_BASES = {"WM_USER": win32.WM_USER, "WM_APP": win32.WM_APP}

_DEFINE = re.compile(r"^\s*#define\s+(\w+)\s+(.+?)\s*(?://.*)?$")
_CONST = re.compile(r"^\s*const\s+\w+\s+(\w+)\s*=\s*([^;]+);")
_TERM = re.compile(r"^\(?\s*(-?)\s*(0[xX][0-9a-fA-F]+|\d+|[A-Za-z_]\w*)\s*\)?$")
_STRING = re.compile(r'^\s*(\w+)\s*,?\s*"((?:[^"]|"")*)"\s*$')
_DIALOG = re.compile(r"^\s*(\w+)\s+DIALOG(?:EX)?\b")
_CAPTION = re.compile(r'^\s*CAPTION\s+"((?:[^"]|"")*)"\s*$')


def evaluate(expression, known):
    """The value of EXPRESSION (terms joined by +), each term a number or a
    name in KNOWN or WINDOWS_BASES; None when a term is neither."""
    total = 0
    for term in expression.split("+"):
        match = _TERM.match(term.strip())
        if not match:
            return None
        sign, token = match.groups()
        if token[0].isdigit():
            value = int(token, 0)
        elif token in known:
            value = known[token]
        elif token in WINDOWS_BASES:
            value = WINDOWS_BASES[token]
        else:
            return None
        total += -value if sign else value
    return total


def read_numbers(text, known=None):
    """{name: value} of the #define and const lines of a header's TEXT that
    evaluate() can compute, added to a copy of KNOWN."""
    values = dict(known or {})
    for line in text.splitlines():
        match = _DEFINE.match(line) or _CONST.match(line)
        if match:
            value = evaluate(match.group(2), values)
            if value is not None:
                values[match.group(1)] = value
    return values


def _unquote(text):
    return text.replace('""', '"')


def read_script(text, numbers):
    """({string number: text}, {dialog name: caption}) of a resource script's TEXT."""
    strings, captions = {}, {}
    in_table = False
    dialog = None
    for line in text.splitlines():
        stripped = line.strip()
        if stripped == "STRINGTABLE":
            in_table = True
        elif in_table and stripped == "END":
            in_table = False
        elif in_table:
            match = _STRING.match(line)
            if match and evaluate(match.group(1), numbers) is not None:
                strings[evaluate(match.group(1), numbers)] = _unquote(match.group(2))
        elif _DIALOG.match(line):
            dialog = _DIALOG.match(line).group(1)
        elif dialog and _CAPTION.match(line):
            captions[dialog] = _unquote(_CAPTION.match(line).group(1))
        elif stripped == "BEGIN":
            dialog = None
    return strings, captions


class Resources:
    """The numbers of some headers and the texts of one resource script."""

    def __init__(self, headers, script, root=REPO):
        self._headers, self._script = headers, script
        numbers = {}
        for header in headers:
            with open(os.path.join(root, header), encoding="utf-8") as f:
                numbers = read_numbers(f.read(), numbers)
        with open(os.path.join(root, script), encoding="utf-8") as f:
            self._strings, self._captions = read_script(f.read(), numbers)
        self._numbers = numbers

    def __getattr__(self, name):
        try:
            return self.__dict__["_numbers"][name]
        except KeyError:
            raise AttributeError("%s is in none of %s" % (name, ", ".join(self._headers))) from None

    def text(self, name):
        """The string-table text of the string number NAME."""
        number = getattr(self, name)
        if number not in self._strings:
            raise KeyError("%s (%d) is not in the string table of %s" % (name, number, self._script))
        return self._strings[number]

    def caption(self, dialog):
        """The caption of the dialog template DIALOG."""
        if dialog not in self._captions:
            raise KeyError("%s has no CAPTION in %s" % (dialog, self._script))
        return self._captions[dialog]

    def named(self, prefix):
        """{name: value} of every number whose name starts with PREFIX."""
        return {name: value for name, value in self._numbers.items() if name.startswith(prefix)}


PROGRAM = Resources(["res/resource.h", "tray/TrayMessages.h", "framework/DialogBase.h"], "res/ZEVARIDA.rc")
APPLET = Resources(["tavrocfg/res/resource.h"], "tavrocfg/res/TavroCfg.rc")
