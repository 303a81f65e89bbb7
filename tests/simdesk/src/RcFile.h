// Reader of the program's resource script (res/ZEVARIDA.rc), so that the simulated
// desktop serves the very dialogs, menus, strings and icons that windres compiles
// into the Windows build. It follows windres' rules, including the implied styles
// of the control keywords.
#ifndef SIMDESK_RCFILE_H
#define SIMDESK_RCFILE_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

struct RcControl {
    std::string keyword;               // as written: "DEFPUSHBUTTON", "LTEXT", "CONTROL", ...
    std::string className;             // "Button", "Static", "Edit", "ComboBox", ... (for CONTROL: as given;
                                       // the standard classes are spelled canonically whatever the case written)
    std::string text;                  // a numeric text (e.g. an icon id) is given as "#<n>"
    int id = 0;                        // -1 for IDC_STATIC
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    uint32_t style = 0;                // implied styles of the keyword combined with the written expression
    uint32_t exStyle = 0;
};

struct RcDialog {
    int id = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;    // as windres computes it: STYLE, plus WS_CAPTION for CAPTION and
                           // DS_SETFONT for FONT; WS_POPUP|WS_BORDER|WS_SYSMENU without STYLE
    uint32_t exStyle = 0;  // EXSTYLE
    std::string caption;
    std::string fontName;
    int fontSize = 0;
    std::vector<RcControl> controls;  // template order
};

struct RcMenuItem {
    bool popup = false;
    bool separator = false;
    std::string text;                  // as written, '&' kept, escapes resolved
    int id = 0;                        // 0 for separators and pop-ups
    uint32_t flags = 0;                // MF_GRAYED 1, MF_DISABLED 2 (INACTIVE), MF_CHECKED 8,
                                       // MF_MENUBARBREAK 0x20, MF_MENUBREAK 0x40, MF_HELP 0x4000
    std::vector<RcMenuItem> children;  // for pop-ups
};

struct RcMenu {
    int id = 0;
    std::vector<RcMenuItem> items;
};

struct RcIconImage {
    int width = 0, height = 0, bitCount = 0;
};

struct RcIcon {
    int id = 0;
    std::string path;                 // as written in the script
    std::vector<RcIconImage> images;  // from the .ico directory entries and image headers
};

struct RcFile {
    std::map<int, RcDialog> dialogs;
    std::map<int, RcMenu> menus;
    std::map<int, std::string> strings;
    std::map<int, RcIcon> icons;
    std::string manifest;  // the text of the process's manifest (resource 1), "" without one
};

// Reads the script and everything it includes with #include "..." (relative to the
// including file's folder, then the script's folder; <...> includes are skipped).
// Symbols come from object-like #define lines; the usual Win32 style and dialog-id
// symbols are built in. Icon files are opened relative to the script's folder.
// Throws std::runtime_error("file:line: message") on anything it cannot read.
RcFile ReadRcFile(const std::string& path);

}  // namespace sim

#endif
