"""Windows' own numbers that the cases and scripts use, as winuser.h defines
them; the program's numbers are read from its sources (program_ids.py)."""

# Window messages.
WM_NULL = 0x0000
WM_KEYDOWN = 0x0100
WM_CHAR = 0x0102
WM_COMMAND = 0x0111
WM_LBUTTONDOWN = 0x0201
WM_RBUTTONDBLCLK = 0x0206
WM_USER = 0x0400
WM_APP = 0x8000

# Button messages and the standard dialog commands.
BM_GETCHECK = 0x00F0
BM_CLICK = 0x00F5
IDOK = 1
IDCANCEL = 2
IDYES = 6

# Menu item types and states as GetMenuItemInfo reports them.
MF_GRAYED = 0x1
MFS_CHECKED = 0x8
MFS_HILITE = 0x80
MFT_RADIOCHECK = 0x200
MFT_SEPARATOR = 0x800

# Virtual keys.
VK_RETURN = 0x0D
VK_SHIFT = 0x10
VK_CONTROL = 0x11
VK_ESCAPE = 0x1B
VK_UP = 0x26
VK_DOWN = 0x28
