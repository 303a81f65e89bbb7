// Reader of Win32 resource scripts for the simulated desktop. A small preprocessor
// turns the script and its includes into tokens (#include, object-like #define,
// #if/#ifdef/#ifndef/#elif/#else/#endif), then a recursive-descent reader builds
// the dialogs, menus, string table and icons with the rules of windres 2.40
// (running dialog style, implied control styles, "NOT X" in style expressions).
#include "RcFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace sim {
namespace {

// Values from winuser.h; <windows.h> itself is never read, so these are built in.
const char kSymbols[] = R"(
WS_OVERLAPPED=0 WS_TILED=0 WS_POPUP=0x80000000 WS_CHILD=0x40000000 WS_CHILDWINDOW=0x40000000
WS_MINIMIZE=0x20000000 WS_ICONIC=0x20000000 WS_VISIBLE=0x10000000 WS_DISABLED=0x08000000
WS_CLIPSIBLINGS=0x04000000 WS_CLIPCHILDREN=0x02000000 WS_MAXIMIZE=0x01000000 WS_CAPTION=0x00C00000
WS_BORDER=0x00800000 WS_DLGFRAME=0x00400000 WS_VSCROLL=0x00200000 WS_HSCROLL=0x00100000 WS_SYSMENU=0x00080000
WS_THICKFRAME=0x00040000 WS_SIZEBOX=0x00040000 WS_GROUP=0x00020000 WS_TABSTOP=0x00010000
WS_MINIMIZEBOX=0x00020000 WS_MAXIMIZEBOX=0x00010000 WS_OVERLAPPEDWINDOW=0x00CF0000 WS_TILEDWINDOW=0x00CF0000
WS_POPUPWINDOW=0x80880000
WS_EX_DLGMODALFRAME=0x1 WS_EX_NOPARENTNOTIFY=0x4 WS_EX_TOPMOST=0x8 WS_EX_ACCEPTFILES=0x10
WS_EX_TRANSPARENT=0x20 WS_EX_MDICHILD=0x40 WS_EX_TOOLWINDOW=0x80 WS_EX_WINDOWEDGE=0x100 WS_EX_CLIENTEDGE=0x200
WS_EX_CONTEXTHELP=0x400 WS_EX_RIGHT=0x1000 WS_EX_LEFT=0 WS_EX_RTLREADING=0x2000 WS_EX_LTRREADING=0
WS_EX_LEFTSCROLLBAR=0x4000 WS_EX_RIGHTSCROLLBAR=0 WS_EX_CONTROLPARENT=0x10000 WS_EX_STATICEDGE=0x20000
WS_EX_APPWINDOW=0x40000 WS_EX_OVERLAPPEDWINDOW=0x300 WS_EX_PALETTEWINDOW=0x188 WS_EX_LAYERED=0x80000
WS_EX_NOINHERITLAYOUT=0x100000 WS_EX_LAYOUTRTL=0x400000 WS_EX_COMPOSITED=0x02000000
WS_EX_NOACTIVATE=0x08000000
DS_ABSALIGN=0x1 DS_SYSMODAL=0x2 DS_3DLOOK=0x4 DS_FIXEDSYS=0x8 DS_NOFAILCREATE=0x10 DS_LOCALEDIT=0x20
DS_SETFONT=0x40 DS_MODALFRAME=0x80 DS_NOIDLEMSG=0x100 DS_SETFOREGROUND=0x200 DS_CONTROL=0x400 DS_CENTER=0x800
DS_CENTERMOUSE=0x1000 DS_CONTEXTHELP=0x2000 DS_SHELLFONT=0x48
ES_LEFT=0 ES_CENTER=0x1 ES_RIGHT=0x2 ES_MULTILINE=0x4 ES_UPPERCASE=0x8 ES_LOWERCASE=0x10 ES_PASSWORD=0x20
ES_AUTOVSCROLL=0x40 ES_AUTOHSCROLL=0x80 ES_NOHIDESEL=0x100 ES_OEMCONVERT=0x400 ES_READONLY=0x800
ES_WANTRETURN=0x1000 ES_NUMBER=0x2000
BS_PUSHBUTTON=0 BS_DEFPUSHBUTTON=0x1 BS_CHECKBOX=0x2 BS_AUTOCHECKBOX=0x3 BS_RADIOBUTTON=0x4 BS_3STATE=0x5
BS_AUTO3STATE=0x6 BS_GROUPBOX=0x7 BS_USERBUTTON=0x8 BS_AUTORADIOBUTTON=0x9 BS_PUSHBOX=0xA BS_OWNERDRAW=0xB
BS_TYPEMASK=0xF BS_LEFTTEXT=0x20 BS_RIGHTBUTTON=0x20 BS_TEXT=0 BS_ICON=0x40 BS_BITMAP=0x80 BS_LEFT=0x100
BS_RIGHT=0x200 BS_CENTER=0x300 BS_TOP=0x400 BS_BOTTOM=0x800 BS_VCENTER=0xC00 BS_PUSHLIKE=0x1000
BS_MULTILINE=0x2000 BS_NOTIFY=0x4000 BS_FLAT=0x8000
SS_LEFT=0 SS_CENTER=0x1 SS_RIGHT=0x2 SS_ICON=0x3 SS_BLACKRECT=0x4 SS_GRAYRECT=0x5 SS_WHITERECT=0x6
SS_BLACKFRAME=0x7 SS_GRAYFRAME=0x8 SS_WHITEFRAME=0x9 SS_USERITEM=0xA SS_SIMPLE=0xB SS_LEFTNOWORDWRAP=0xC
SS_OWNERDRAW=0xD SS_BITMAP=0xE SS_ENHMETAFILE=0xF SS_ETCHEDHORZ=0x10 SS_ETCHEDVERT=0x11 SS_ETCHEDFRAME=0x12
SS_TYPEMASK=0x1F SS_REALSIZECONTROL=0x40 SS_NOPREFIX=0x80 SS_NOTIFY=0x100 SS_CENTERIMAGE=0x200
SS_RIGHTJUST=0x400 SS_REALSIZEIMAGE=0x800 SS_SUNKEN=0x1000 SS_EDITCONTROL=0x2000 SS_ENDELLIPSIS=0x4000
SS_PATHELLIPSIS=0x8000 SS_WORDELLIPSIS=0xC000
CBS_SIMPLE=0x1 CBS_DROPDOWN=0x2 CBS_DROPDOWNLIST=0x3 CBS_OWNERDRAWFIXED=0x10 CBS_OWNERDRAWVARIABLE=0x20
CBS_AUTOHSCROLL=0x40 CBS_OEMCONVERT=0x80 CBS_SORT=0x100 CBS_HASSTRINGS=0x200 CBS_NOINTEGRALHEIGHT=0x400
CBS_DISABLENOSCROLL=0x800 CBS_UPPERCASE=0x2000 CBS_LOWERCASE=0x4000
LBS_NOTIFY=0x1 LBS_SORT=0x2 LBS_NOREDRAW=0x4 LBS_MULTIPLESEL=0x8 LBS_OWNERDRAWFIXED=0x10
LBS_OWNERDRAWVARIABLE=0x20 LBS_HASSTRINGS=0x40 LBS_USETABSTOPS=0x80 LBS_NOINTEGRALHEIGHT=0x100
LBS_MULTICOLUMN=0x200 LBS_WANTKEYBOARDINPUT=0x400 LBS_EXTENDEDSEL=0x800 LBS_DISABLENOSCROLL=0x1000
LBS_NODATA=0x2000 LBS_NOSEL=0x4000 LBS_STANDARD=0x00A00003 SBS_HORZ=0 SBS_VERT=0x1
CREATEPROCESS_MANIFEST_RESOURCE_ID=1
IDOK=1 IDCANCEL=2 IDABORT=3 IDRETRY=4 IDIGNORE=5 IDYES=6 IDNO=7 IDCLOSE=8 IDHELP=9 IDC_STATIC=0xFFFFFFFF
)";

const std::map<std::string, uint32_t>& Symbols() {
    static const std::map<std::string, uint32_t> table = [] {
        std::map<std::string, uint32_t> m;
        std::istringstream in(kSymbols);
        for (std::string item; in >> item;) {
            size_t eq = item.find('=');
            m[item.substr(0, eq)] = static_cast<uint32_t>(std::stoul(item.substr(eq + 1), nullptr, 0));
        }
        return m;
    }();
    return table;
}

uint32_t StyleOf(const std::string& names) {  // "A|B" from the table above
    uint32_t v = 0;
    std::istringstream in(names);
    for (std::string n; std::getline(in, n, '|');) v |= Symbols().at(n);
    return v;
}

const uint32_t kChildVisible = StyleOf("WS_CHILD|WS_VISIBLE");

// The control keywords: class, style without a written style, style a written one modifies.
struct ControlKind {
    const char* keyword;
    const char* cls;
    const char* plain;
    const char* base;
    bool text;
};
const ControlKind kControls[] = {
    {"AUTO3STATE", "Button", "BS_AUTO3STATE|WS_TABSTOP", "BS_AUTO3STATE", true},
    {"AUTOCHECKBOX", "Button", "BS_AUTOCHECKBOX|WS_TABSTOP", "BS_AUTOCHECKBOX|WS_TABSTOP", true},
    {"AUTORADIOBUTTON", "Button", "BS_AUTORADIOBUTTON|WS_TABSTOP", "BS_AUTORADIOBUTTON", true},
    {"CHECKBOX", "Button", "BS_CHECKBOX|WS_TABSTOP", "BS_CHECKBOX|WS_TABSTOP", true},
    {"COMBOBOX", "ComboBox", "CBS_SIMPLE|WS_TABSTOP", "", false},
    {"CTEXT", "Static", "SS_CENTER|WS_GROUP", "SS_CENTER", true},
    {"DEFPUSHBUTTON", "Button", "BS_DEFPUSHBUTTON|WS_TABSTOP", "BS_DEFPUSHBUTTON|WS_TABSTOP", true},
    {"EDITTEXT", "Edit", "ES_LEFT|WS_BORDER|WS_TABSTOP", "ES_LEFT|WS_BORDER|WS_TABSTOP", false},
    {"GROUPBOX", "Button", "BS_GROUPBOX", "BS_GROUPBOX", true},
    {"LISTBOX", "ListBox", "LBS_NOTIFY|WS_BORDER", "LBS_NOTIFY|WS_BORDER", false},
    {"LTEXT", "Static", "SS_LEFT|WS_GROUP", "SS_LEFT", true},
    {"PUSHBUTTON", "Button", "BS_PUSHBUTTON|WS_TABSTOP", "BS_PUSHBUTTON|WS_TABSTOP", true},
    {"RADIOBUTTON", "Button", "BS_RADIOBUTTON|WS_TABSTOP", "BS_RADIOBUTTON", true},
    {"RTEXT", "Static", "SS_RIGHT|WS_GROUP", "SS_RIGHT", true},
    {"SCROLLBAR", "ScrollBar", "SBS_HORZ", "SBS_HORZ", false},
    {"STATE3", "Button", "BS_3STATE|WS_TABSTOP", "BS_3STATE", true},
};

struct Tok {
    enum Kind { Ident, Num, Str, Punct, End } kind = End;
    std::string text;  // identifier, punctuation, number as written, or the resolved string
    uint32_t num = 0;
    std::string file;
    int line = 0;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& msg) {
    throw std::runtime_error(file + ":" + std::to_string(line) + ": " + msg);
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

class Parser {
public:
    Parser(std::vector<Tok> toks, const std::string& file, std::string scriptDir)
        : t_(std::move(toks)), dir_(std::move(scriptDir)) {
        Tok end;
        end.file = t_.empty() ? file : t_.back().file;
        end.line = t_.empty() ? 1 : t_.back().line;
        t_.push_back(end);
    }

    bool AtEnd() const { return Peek().kind == Tok::End; }

    // windres' numeric expressions, unsigned 32-bit, C precedence.
    uint32_t Expr(int level = 0) {
        static const char* const ops[] = {"|", "^", "&", "+-", "*/%"};
        if (level == 5) return Unary();
        uint32_t v = Expr(level + 1);
        while (Peek().kind == Tok::Punct && std::strchr(ops[level], Peek().text[0])) {
            char op = Next().text[0];
            const Tok& at = Peek();
            uint32_t r = Expr(level + 1);
            if ((op == '/' || op == '%') && r == 0) Fail(at.file, at.line, "division by zero");
            switch (op) {
            case '|': v |= r; break;
            case '^': v ^= r; break;
            case '&': v &= r; break;
            case '+': v += r; break;
            case '-': v -= r; break;
            case '*': v *= r; break;
            case '/': v /= r; break;
            default: v %= r; break;
            }
        }
        return v;
    }

    RcFile Run() {
        RcFile rc;
        while (!AtEnd()) {
            if (AcceptWord("LANGUAGE")) {
                Expr();
                CInt();
                continue;
            }
            if (AcceptWord("STRINGTABLE")) {
                ReadStringTable(rc);
                continue;
            }
            const Tok at = Peek();
            int id = Int();
            if (Peek().kind != Tok::Ident) Unexpected("a resource type");
            std::string type = Next().text;
            SubOptions();
            if (type == "ICON")
                Add(rc.icons, id, ReadIcon(id, Peek()), at, "icon");
            else if (type == "DIALOG" || type == "DIALOGEX")
                Add(rc.dialogs, id, ReadDialog(id, type == "DIALOGEX"), at, "dialog");
            else if (type == "MENU")
                Add(rc.menus, id, RcMenu{id, ReadMenuItems()}, at, "menu");
            else if (type == "RT_MANIFEST" && id == 1 && rc.manifest.empty())
                rc.manifest = ReadManifest(at);
            else
                Fail(at.file, at.line, "unsupported resource type " + type);
        }
        return rc;
    }

private:
    const Tok& Peek() const { return t_[pos_]; }
    const Tok& Next() {
        const Tok& t = t_[pos_];
        if (pos_ + 1 < t_.size()) ++pos_;
        return t;
    }
    bool IsWord(const char* w) const { return Peek().kind == Tok::Ident && Peek().text == w; }
    bool IsPunct(char c) const { return Peek().kind == Tok::Punct && Peek().text[0] == c; }
    bool Accept(char c) { return IsPunct(c) ? (Next(), true) : false; }
    bool AcceptWord(const char* w) { return IsWord(w) ? (Next(), true) : false; }
    void Expect(char c) {
        if (!Accept(c)) Unexpected(std::string("'") + c + "'");
    }
    int Int() { return static_cast<int>(Expr()); }
    int CInt() {
        Expect(',');
        return Int();
    }
    void ExpectBegin() {
        if (!AcceptWord("BEGIN") && !Accept('{')) Unexpected("BEGIN");
    }
    bool AcceptEnd() {
        if (AcceptWord("END") || Accept('}')) return true;
        if (AtEnd()) Unexpected("END");
        return false;
    }

    [[noreturn]] void Unexpected(const std::string& what) const {
        const Tok& t = Peek();
        std::string found = t.kind == Tok::End   ? "end of file"
                            : t.kind == Tok::Str ? "string \"" + t.text + "\""
                                                 : "'" + t.text + "'";
        Fail(t.file, t.line, "expected " + what + ", found " + found);
    }

    uint32_t Unary() {
        if (Accept('-')) return 0u - Unary();
        if (Accept('~')) return ~Unary();
        if (Accept('!')) return Unary() == 0 ? 1 : 0;
        if (Accept('(')) {
            uint32_t v = Expr();
            Expect(')');
            return v;
        }
        const Tok& t = Peek();
        if (t.kind == Tok::Num) return Next().num;
        if (t.kind != Tok::Ident) Unexpected("a number");
        auto s = Symbols().find(t.text);
        if (s == Symbols().end()) Fail(t.file, t.line, "unknown symbol '" + t.text + "'");
        Next();
        return s->second;
    }

    // "A | NOT B | (C + 1)": each item is or-ed into, or with NOT cleared from, the style.
    uint32_t Style(uint32_t style) {
        do {
            bool negate = AcceptWord("NOT");
            uint32_t v = Expr(1);
            style = negate ? style & ~v : style | v;
        } while (Accept('|'));
        return style;
    }

    std::string String() {  // adjacent strings are joined, as windres does
        if (Peek().kind != Tok::Str) Unexpected("a string");
        std::string s;
        while (Peek().kind == Tok::Str) s += Next().text;
        return s;
    }

    template <class T>
    void Add(std::map<int, T>& m, int id, T value, const Tok& at, const char* what) {
        if (!m.emplace(id, std::move(value)).second)
            Fail(at.file, at.line, std::string("duplicate ") + what + " " + std::to_string(id));
    }

    void SubOptions() {  // memory flags and the like, which do not matter here
        static const std::set<std::string> flags = {"MOVEABLE", "FIXED",      "PURE",       "IMPURE",
                                                    "PRELOAD",  "LOADONCALL", "DISCARDABLE"};
        for (;;) {
            if (Peek().kind == Tok::Ident && flags.count(Peek().text))
                Next();
            else if (AcceptWord("LANGUAGE")) {
                Expr();
                CInt();
            } else if (AcceptWord("CHARACTERISTICS") || AcceptWord("VERSION"))
                Expr();
            else
                return;
        }
    }

    void ReadStringTable(RcFile& rc) {
        SubOptions();
        ExpectBegin();
        while (!AcceptEnd()) {
            const Tok at = Peek();
            int id = Int();
            Accept(',');
            Add(rc.strings, id, String(), at, "string");
        }
    }

    RcDialog ReadDialog(int id, bool ex) {
        RcDialog d;
        d.id = id;
        d.x = Int();
        d.y = CInt();
        d.cx = CInt();
        d.cy = CInt();
        if (ex && Accept(',')) Expr();  // help id
        d.style = StyleOf("WS_POPUP|WS_BORDER|WS_SYSMENU");
        uint32_t style = 0;  // windres' running style: CAPTION and FONT add to it, STYLE modifies it
        for (;;) {
            SubOptions();
            uint32_t implied = 0;
            if (AcceptWord("STYLE")) {
                d.style = style = Style(style);
            } else if (AcceptWord("EXSTYLE")) {
                d.exStyle = Expr();
            } else if (AcceptWord("CAPTION")) {
                d.caption = String();
                implied = StyleOf("WS_CAPTION");
            } else if (AcceptWord("FONT")) {
                d.fontSize = Int();
                Expect(',');
                d.fontName = String();
                for (int i = 0; i < 3 && Accept(','); ++i) Expr();  // weight, italic, charset
                implied = StyleOf("DS_SETFONT");
            } else {
                break;
            }
            d.style |= implied;
            style |= implied;
        }
        ExpectBegin();
        while (!AcceptEnd()) d.controls.push_back(ReadControl());
        return d;
    }

    RcControl ReadControl() {
        if (Peek().kind != Tok::Ident) Unexpected("a control");
        const Tok at = Next();
        RcControl c;
        c.keyword = at.text;
        const ControlKind* kind = nullptr;
        for (const ControlKind& k : kControls)
            if (c.keyword == k.keyword) kind = &k;
        if (!kind && c.keyword != "CONTROL") Fail(at.file, at.line, "unsupported control " + c.keyword);
        if (!kind || kind->text) {
            c.text = Peek().kind == Tok::Str ? String() : "#" + std::to_string(Expr());
            Expect(',');
        }
        c.id = Int();
        if (!kind) {  // CONTROL "text", id, "class", style, x, y, cx, cy [, exstyle [, help id]]
            Expect(',');
            c.className = ClassName(String());
            Expect(',');
            c.style = Style(kChildVisible);
        }
        c.x = CInt();
        c.y = CInt();
        c.cx = CInt();
        c.cy = CInt();
        if (kind) {  // KEYWORD ["text",] id, x, y, cx, cy [, style [, exstyle [, help id]]]
            c.className = kind->cls;
            c.style = Accept(',') ? Style(kChildVisible | StyleOf(kind->base)) : kChildVisible | StyleOf(kind->plain);
        }
        if (Accept(',')) {
            c.exStyle = Expr();
            if (Accept(',')) Expr();  // help id
        }
        return c;
    }

    static std::string ClassName(const std::string& name) {  // the standard classes, spelled canonically
        static const char* const known[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
        auto same = [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); };
        for (const char* k : known)
            if (name.size() == std::strlen(k) && std::equal(name.begin(), name.end(), k, same)) return k;
        return name;
    }

    std::vector<RcMenuItem> ReadMenuItems() {
        ExpectBegin();
        std::vector<RcMenuItem> items;
        while (!AcceptEnd()) {
            RcMenuItem m;
            if (AcceptWord("POPUP")) {
                m.popup = true;
                m.text = String();
                m.flags = MenuFlags();
                m.children = ReadMenuItems();
            } else if (!AcceptWord("MENUITEM")) {
                Unexpected("MENUITEM, POPUP or END");
            } else if (!(m.separator = AcceptWord("SEPARATOR"))) {
                m.text = String();
                m.id = CInt();
                m.flags = MenuFlags();
            }
            items.push_back(std::move(m));
        }
        return items;
    }

    uint32_t MenuFlags() {  // separated by commas or blanks
        static const std::map<std::string, uint32_t> names = {{"GRAYED", 0x1},     {"INACTIVE", 0x2},
                                                              {"CHECKED", 0x8},    {"MENUBARBREAK", 0x20},
                                                              {"MENUBREAK", 0x40}, {"HELP", 0x4000}};
        uint32_t flags = 0;
        for (;;) {
            bool comma = Accept(',');
            auto f = Peek().kind == Tok::Ident ? names.find(Peek().text) : names.end();
            if (f == names.end()) {
                if (comma) Unexpected("a menu item option");
                return flags;
            }
            flags |= f->second;
            Next();
        }
    }

    // The process's manifest, resource 1: its file's text.
    std::string ReadManifest(const Tok& at) {
        const fs::path p = fs::path(dir_) / String();
        std::ifstream in(p, std::ios::binary);
        if (!in) Fail(at.file, at.line, "manifest file '" + p.string() + "': cannot open");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (text.empty()) Fail(at.file, at.line, "manifest file '" + p.string() + "' is empty");
        return text;
    }

    RcIcon ReadIcon(int id, const Tok& at) {
        RcIcon icon;
        icon.id = id;
        icon.path = String();
        fs::path p = fs::path(dir_) / icon.path;
        auto bad = [&](const std::string& why) { Fail(at.file, at.line, "icon file '" + p.string() + "': " + why); };
        std::ifstream in(p, std::ios::binary);
        if (!in) bad("cannot open");
        const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto u16 = [&](size_t o) { return uint32_t(uint8_t(b[o])) | uint32_t(uint8_t(b[o + 1])) << 8; };
        auto u32 = [&](size_t o) { return u16(o) | u16(o + 2) << 16; };
        if (b.size() < 6 || u16(0) != 0 || u16(2) != 1 || u16(4) == 0) bad("not an icon file");
        const size_t count = u16(4);
        if (b.size() < 6 + 16 * count) bad("directory is truncated");
        for (size_t i = 0; i < count; ++i) {
            const size_t e = 6 + 16 * i, size = u32(e + 8), off = u32(e + 12);
            if (off > b.size() || size > b.size() - off || size < 40)
                bad("image " + std::to_string(i) + " is too small or outside the file");
            RcIconImage img;
            img.width = uint8_t(b[e]) ? uint8_t(b[e]) : 256;
            img.height = uint8_t(b[e + 1]) ? uint8_t(b[e + 1]) : 256;
            if (b.compare(off, 8, "\x89PNG\r\n\x1a\n") == 0) {  // IHDR: bit depth at 24, colour type at 25
                static const int channels[] = {1, 0, 3, 1, 2, 0, 4};
                const int type = uint8_t(b[off + 25]);
                if (type > 6 || channels[type] == 0) bad("bad PNG image " + std::to_string(i));
                img.bitCount = uint8_t(b[off + 24]) * channels[type];
            } else {  // BITMAPINFOHEADER: biSize at 0, biBitCount at 14
                if (u32(off) < 40) bad("bad image header " + std::to_string(i));
                img.bitCount = static_cast<int>(u16(off + 14));
            }
            icon.images.push_back(img);
        }
        return icon;
    }

    std::vector<Tok> t_;
    size_t pos_ = 0;
    std::string dir_;
};

class Preprocessor {
public:
    explicit Preprocessor(std::string scriptDir) : dir_(std::move(scriptDir)) {}

    std::vector<Tok> tokens;

    void ReadFile(const std::string& path, const std::string& fromFile, int fromLine) {
        std::ifstream in(path, std::ios::binary);
        if (!in) Fail(fromFile, fromLine, "cannot open '" + path + "'");
        if (++depth_ > 32) Fail(fromFile, fromLine, "#include nested too deeply");
        std::stringstream text;
        text << in.rdbuf();
        const size_t conds = conds_.size();
        const int last = Scan(text.str(), path, 1, true);
        if (conds_.size() != conds) Fail(path, last, "missing #endif");
        --depth_;
    }

private:
    struct Cond {
        bool parent, taken, active;
    };

    bool Active() const { return conds_.empty() || conds_.back().active; }
    bool Defined(const std::string& name) const { return macros_.count(name) || funcMacros_.count(name); }

    // Appends the tokens of s; returns the last line. Directives only in files, not macro bodies.
    int Scan(const std::string& s, const std::string& file, int line, bool directives) {
        const size_t n = s.size();
        auto at = [&](size_t k) { return k < n ? s[k] : '\0'; };
        bool lineStart = true;
        for (size_t i = 0; i < n;) {
            const char c = s[i];
            if (c == '\n') {
                ++line;
                ++i;
                lineStart = true;
                continue;
            }
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
                continue;
            }
            if (c == '/' && at(i + 1) == '/') {
                i = std::min(s.find('\n', i), n);
                continue;
            }
            if (c == '/' && at(i + 1) == '*') {
                const size_t e = s.find("*/", i + 2);
                if (e == std::string::npos) Fail(file, line, "unterminated comment");
                line += static_cast<int>(std::count(s.begin() + i, s.begin() + e, '\n'));
                i = e + 2;
                continue;
            }
            if (c == '#' && lineStart && directives) {
                std::string text;
                const int first = line;
                for (++i; i < n && s[i] != '\n'; ++i) {
                    if (s[i] == '\\' && (at(i + 1) == '\n' || (at(i + 1) == '\r' && at(i + 2) == '\n'))) {
                        i = s.find('\n', i);
                        ++line;
                        continue;
                    }
                    text += s[i];
                }
                Directive(StripComments(text), file, first);
                continue;
            }
            lineStart = false;
            if (directives && !Active()) {
                i = std::min(s.find('\n', i), n);
                continue;
            }
            Tok t;
            t.file = file;
            t.line = line;
            if (c == '"' || (c == 'L' && at(i + 1) == '"')) {
                t.kind = Tok::Str;
                for (i += c == 'L' ? 2 : 1;;) {
                    if (i >= n || s[i] == '\n') Fail(file, line, "unterminated string");
                    const char d = s[i++];
                    if (d == '"' && at(i) == '"') {
                        t.text += '"';
                        ++i;
                        continue;
                    }
                    if (d == '"') break;
                    if (d != '\\') {
                        t.text += d;
                        continue;
                    }
                    static const std::string escapes = "ntr\\\"'", values = "\n\t\r\\\"'";
                    const char e = at(i++);
                    const size_t k = e ? escapes.find(e) : std::string::npos;
                    if (k == std::string::npos) Fail(file, line, std::string("unsupported escape \\") + e);
                    t.text += values[k];
                }
            } else if (IsWordChar(c)) {
                const size_t start = i;
                while (i < n && IsWordChar(s[i])) ++i;
                t.text = s.substr(start, i - start);
                t.kind = std::isdigit(static_cast<unsigned char>(c)) ? Tok::Num : Tok::Ident;
                if (t.kind == Tok::Ident) {
                    if (Expand(t.text, file, line)) continue;
                } else {  // decimal, 0x hex or 0 octal, with optional L/U suffixes
                    const std::string digits = t.text.substr(0, t.text.find_last_not_of("LlUu") + 1);
                    size_t used = 0;
                    unsigned long long v = 0;
                    try {
                        v = std::stoull(digits, &used, 0);
                    } catch (const std::exception&) {
                        used = 0;
                    }
                    if (used != digits.size() || v > 0xFFFFFFFFull) Fail(file, line, "bad number '" + t.text + "'");
                    t.num = static_cast<uint32_t>(v);
                }
            } else if (c != '\0' && std::strchr(",|(){}+-*/%&^~!", c)) {
                t.kind = Tok::Punct;
                t.text = std::string(1, c);
                ++i;
            } else {
                Fail(file, line, std::string("unexpected character '") + c + "'");
            }
            tokens.push_back(std::move(t));
        }
        return line;
    }

    bool Expand(const std::string& name, const std::string& file, int line) {
        if (funcMacros_.count(name)) Fail(file, line, "function-like macro " + name + " is not supported");
        auto m = macros_.find(name);
        if (m == macros_.end() || expanding_.count(name)) return false;
        expanding_.insert(name);
        Scan(m->second, file, line, false);
        expanding_.erase(name);
        return true;
    }

    static std::string StripComments(const std::string& s) {
        std::string out;
        bool quoted = false;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '"') quoted = !quoted;
            if (!quoted && s.compare(i, 2, "//") == 0) break;
            if (!quoted && s.compare(i, 2, "/*") == 0) {
                const size_t e = s.find("*/", i + 2);
                if (e == std::string::npos) break;
                out += ' ';
                i = e + 1;
                continue;
            }
            out += s[i];
        }
        return out;
    }

    void Directive(const std::string& text, const std::string& file, int line) {
        std::istringstream in(text);
        std::string name, rest;
        in >> name;
        std::getline(in, rest);
        rest = Trim(rest);
        if (name == "if" || name == "ifdef" || name == "ifndef") {
            bool v = false;
            if (Active()) v = name == "if" ? EvalIf(rest, file, line) : Defined(rest) == (name == "ifdef");
            conds_.push_back({Active(), v, v});
        } else if (name == "elif" || name == "else" || name == "endif") {
            if (conds_.empty()) Fail(file, line, "#" + name + " without #if");
            Cond& c = conds_.back();
            if (name == "endif") {
                conds_.pop_back();
                return;
            }
            c.active = c.parent && !c.taken && (name == "else" || EvalIf(rest, file, line));
            c.taken = c.taken || c.active;
        } else if (!Active() || name.empty() || name == "pragma") {
            return;
        } else if (name == "include") {
            if (!rest.empty() && rest[0] == '<') return;  // system headers: their symbols are built in
            if (rest.size() < 3 || rest.front() != '"' || rest.back() != '"') Fail(file, line, "bad #include");
            const std::string inc = rest.substr(1, rest.size() - 2);
            fs::path p = fs::path(file).parent_path() / inc;
            if (!fs::exists(p)) p = fs::path(dir_) / inc;
            ReadFile(p.string(), file, line);
        } else if (name == "define") {
            size_t k = 0;
            while (k < rest.size() && IsWordChar(rest[k])) ++k;
            const std::string macro = rest.substr(0, k);
            if (macro.empty()) Fail(file, line, "bad #define");
            macros_.erase(macro);
            funcMacros_.erase(macro);
            if (k < rest.size() && rest[k] == '(')
                funcMacros_.insert(macro);
            else
                macros_[macro] = Trim(rest.substr(k));
        } else if (name == "undef") {
            macros_.erase(rest);
            funcMacros_.erase(rest);
        } else if (name == "error") {
            Fail(file, line, "#error " + rest);
        } else {
            Fail(file, line, "unsupported directive #" + name);
        }
    }

    // A numeric expression where "defined NAME" and "defined(NAME)" stand for 1 or 0.
    bool EvalIf(const std::string& e, const std::string& file, int line) {
        std::string out;
        for (size_t i = 0; i < e.size();) {
            const bool word = e.compare(i, 7, "defined") == 0 && (i == 0 || !IsWordChar(e[i - 1])) &&
                              (i + 7 == e.size() || !IsWordChar(e[i + 7]));
            if (!word) {
                out += e[i++];
                continue;
            }
            size_t j = e.find_first_not_of(" \t", i + 7);
            const bool paren = j != std::string::npos && e[j] == '(';
            if (paren) j = e.find_first_not_of(" \t", j + 1);
            size_t k = j == std::string::npos ? e.size() : j;
            while (k < e.size() && IsWordChar(e[k])) ++k;
            if (k == j || j == std::string::npos) Fail(file, line, "bad 'defined' in #if");
            out += Defined(e.substr(j, k - j)) ? " 1 " : " 0 ";
            k = std::min(e.find_first_not_of(" \t", k), e.size());
            if (paren && (k == e.size() || e[k] != ')')) Fail(file, line, "missing ')' in #if");
            i = paren ? k + 1 : k;
        }
        const size_t start = tokens.size();
        Scan(out, file, line, false);
        std::vector<Tok> expr(tokens.begin() + static_cast<std::ptrdiff_t>(start), tokens.end());
        tokens.resize(start);
        if (expr.empty()) Fail(file, line, "#if without an expression");
        Parser p(std::move(expr), file, dir_);
        const bool v = p.Expr() != 0;
        if (!p.AtEnd()) Fail(file, line, "unsupported #if expression");
        return v;
    }

    std::string dir_;
    std::map<std::string, std::string> macros_;
    std::set<std::string> funcMacros_, expanding_;
    std::vector<Cond> conds_;
    int depth_ = 0;
};

}  // namespace

RcFile ReadRcFile(const std::string& path) {
    const std::string dir = fs::path(path).parent_path().string();
    Preprocessor pre(dir);
    pre.ReadFile(path, path, 0);
    return Parser(std::move(pre.tokens), path, dir).Run();
}

}  // namespace sim
