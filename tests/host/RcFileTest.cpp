// Tests of the simulated desktop's resource-script reader. The expected styles are
// those windres 2.40 writes for the same scripts.
#include "../simdesk/src/RcFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <set>
#include <string>
#include <vector>

#ifndef ZEVARIDA_RC_PATH
#define ZEVARIDA_RC_PATH "res/ZEVARIDA.rc"
#endif

namespace fs = std::filesystem;

namespace {

class RcFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string unique = std::string(info->name()) + "_" + std::to_string(std::random_device()());
        dir_ = fs::temp_directory_path() / ("rcfile_" + unique);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path p = dir_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    // The message of the error ReadRcFile throws, or "" if it does not throw.
    static std::string ErrorOf(const std::string& path) {
        try {
            sim::ReadRcFile(path);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    }

    fs::path dir_;
};

std::string Le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Be32(uint32_t v) {
    std::string s;
    for (int i = 3; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string BmpImage(int w, int h, int bpp) {  // BITMAPINFOHEADER, palette, XOR and AND bitmaps
    std::string s = Le(40, 4) + Le(w, 4) + Le(2 * h, 4) + Le(1, 2) + Le(bpp, 2) + std::string(24, '\0');
    s += std::string(bpp <= 8 ? 4u << bpp : 0, '\0');
    s += std::string(((w * bpp + 31) / 32 * 4) * h + ((w + 31) / 32 * 4) * h, '\0');
    return s;
}

std::string PngImage(int w, int h) {  // signature, IHDR (8-bit RGBA), IEND; CRCs are not checked
    return std::string("\x89PNG\r\n\x1a\n", 8) + Be32(13) + "IHDR" + Be32(w) + Be32(h) +
           std::string("\x08\x06\x00\x00\x00", 5) + Be32(0) + Be32(0) + "IEND" + Be32(0);
}

// An .ico file; each image with the bit count its directory entry gives (0: only in the image).
struct IcoImage {
    int width, height, dirBitCount;
    std::string data;
};
std::string IcoFile(const std::vector<IcoImage>& images) {
    std::string dir = Le(0, 2) + Le(1, 2) + Le(images.size(), 2), data;
    const size_t first = 6 + 16 * images.size();
    for (const IcoImage& i : images) {
        dir += Le(i.width & 0xFF, 1) + Le(i.height & 0xFF, 1) + Le(0, 2) + Le(1, 2) + Le(i.dirBitCount, 2) +
               Le(i.data.size(), 4) + Le(first + data.size(), 4);
        data += i.data;
    }
    return dir + data;
}

}  // namespace

TEST_F(RcFileTest, DialogControlsAndStyles) {
    const std::string rc = Write("d.rc", R"(#include <windows.h>
#define IDD_TEST 100
#define IDC_NAME (1000)
#define IDC_KEY 0x3E9
100 DIALOGEX 10, 20, 200, 120
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
EXSTYLE WS_EX_TOOLWINDOW
CAPTION "Test ""Dialog"""
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    DEFPUSHBUTTON   "OK", IDOK, 140, 7, 50, 14
    PUSHBUTTON      "Cancel", IDCANCEL, 140, 24, 50, 14, NOT WS_TABSTOP | WS_DISABLED
    LTEXT           "&Name:", IDC_STATIC, 7, 9, 40, 8
    RTEXT           "Key", -1, 7, 30, 40, 8, NOT WS_GROUP | NOT WS_VISIBLE
    EDITTEXT        IDC_NAME, 50, 7, 80, 14, ES_AUTOHSCROLL
    EDITTEXT        IDC_KEY, 50, 28, 80, 14, ES_PASSWORD | NOT WS_BORDER, WS_EX_CLIENTEDGE
    AUTOCHECKBOX    "&Show", 1002, 7, 50, 60, 10
    COMBOBOX        1003, 7, 70, 80, 60, CBS_DROPDOWNLIST | WS_VSCROLL
    GROUPBOX        "Group", -1, 100, 50, 90, 60
    CONTROL         "Check", 1004, "button", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 90, 60, 10
    CONTROL         "", 1005, "MyClass", NOT WS_VISIBLE | 0x12, 7, 100, 6, 8, WS_EX_STATICEDGE
END
101 DIALOG 0, 0, 50, 40
CAPTION "Plain"
BEGIN
END
)");
    const sim::RcFile f = sim::ReadRcFile(rc);
    ASSERT_EQ(f.dialogs.count(100), 1u);
    const sim::RcDialog& d = f.dialogs.at(100);
    EXPECT_EQ(d.id, 100);
    EXPECT_EQ(d.x, 10);
    EXPECT_EQ(d.y, 20);
    EXPECT_EQ(d.cx, 200);
    EXPECT_EQ(d.cy, 120);
    EXPECT_EQ(d.style, 0x80C800C0u);
    EXPECT_EQ(d.exStyle, 0x80u);
    EXPECT_EQ(d.caption, "Test \"Dialog\"");
    EXPECT_EQ(d.fontName, "MS Shell Dlg");
    EXPECT_EQ(d.fontSize, 8);
    ASSERT_EQ(d.controls.size(), 11u);

    struct Want {
        const char* keyword;
        const char* cls;
        const char* text;
        int id;
        uint32_t style, exStyle;
    };
    const Want want[] = {
        {"DEFPUSHBUTTON", "Button", "OK", 1, 0x50010001, 0},
        {"PUSHBUTTON", "Button", "Cancel", 2, 0x58000000, 0},
        {"LTEXT", "Static", "&Name:", -1, 0x50020000, 0},
        {"RTEXT", "Static", "Key", -1, 0x40000002, 0},
        {"EDITTEXT", "Edit", "", 1000, 0x50810080, 0},
        {"EDITTEXT", "Edit", "", 1001, 0x50010020, 0x200},
        {"AUTOCHECKBOX", "Button", "&Show", 1002, 0x50010003, 0},
        {"COMBOBOX", "ComboBox", "", 1003, 0x50200003, 0},
        {"GROUPBOX", "Button", "Group", -1, 0x50000007, 0},
        {"CONTROL", "Button", "Check", 1004, 0x50010003, 0},
        {"CONTROL", "MyClass", "", 1005, 0x40000012, 0x20000},
    };
    for (size_t i = 0; i < d.controls.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        const sim::RcControl& c = d.controls[i];
        EXPECT_EQ(c.keyword, want[i].keyword);
        EXPECT_EQ(c.className, want[i].cls);
        EXPECT_EQ(c.text, want[i].text);
        EXPECT_EQ(c.id, want[i].id);
        EXPECT_EQ(c.style, want[i].style);
        EXPECT_EQ(c.exStyle, want[i].exStyle);
    }
    const sim::RcControl& edit = d.controls[4];
    EXPECT_EQ(edit.x, 50);
    EXPECT_EQ(edit.y, 7);
    EXPECT_EQ(edit.cx, 80);
    EXPECT_EQ(edit.cy, 14);

    // Without STYLE a DIALOG is WS_POPUP | WS_BORDER | WS_SYSMENU; CAPTION adds WS_CAPTION.
    ASSERT_EQ(f.dialogs.count(101), 1u);
    EXPECT_EQ(f.dialogs.at(101).style, 0x80C80000u);
    EXPECT_TRUE(f.dialogs.at(101).controls.empty());
}

TEST_F(RcFileTest, NestedMenuWithOptionsAndSeparators) {
    const std::string rc = Write("m.rc", R"(/* A menu
   over several lines */
200 MENU DISCARDABLE
{
    POPUP "&File"
    BEGIN
        MENUITEM "&Open...\tCtrl+O",  300
        MENUITEM SEPARATOR
        POPUP "&Recent", GRAYED
        BEGIN
            MENUITEM "One",           301, CHECKED INACTIVE
            MENUITEM "Two",           302, GRAYED, CHECKED
        END
        MENUITEM "E&xit",            303   // comment after an item
    END
    MENUITEM "&Help", 304, HELP
}
)");
    const sim::RcFile f = sim::ReadRcFile(rc);
    ASSERT_EQ(f.menus.count(200), 1u);
    const auto& items = f.menus.at(200).items;
    ASSERT_EQ(items.size(), 2u);
    const sim::RcMenuItem& file = items[0];
    EXPECT_TRUE(file.popup);
    EXPECT_EQ(file.text, "&File");
    EXPECT_EQ(file.id, 0);
    ASSERT_EQ(file.children.size(), 4u);
    EXPECT_EQ(file.children[0].text, "&Open...\tCtrl+O");
    EXPECT_EQ(file.children[0].id, 300);
    EXPECT_EQ(file.children[0].flags, 0u);
    EXPECT_TRUE(file.children[1].separator);
    EXPECT_EQ(file.children[1].id, 0);
    const sim::RcMenuItem& recent = file.children[2];
    EXPECT_TRUE(recent.popup);
    EXPECT_EQ(recent.flags, 1u);
    ASSERT_EQ(recent.children.size(), 2u);
    EXPECT_EQ(recent.children[0].flags, 8u | 2u);
    EXPECT_EQ(recent.children[1].flags, 1u | 8u);
    EXPECT_EQ(file.children[3].text, "E&xit");
    EXPECT_EQ(file.children[3].id, 303);
    EXPECT_FALSE(items[1].popup);
    EXPECT_EQ(items[1].id, 304);
    EXPECT_EQ(items[1].flags, 0x4000u);
}

TEST_F(RcFileTest, StringTableWithEscapesAndIncludedSymbols) {
    Write("inc/ids.h", R"(#ifndef IDS_H
#define IDS_H
#define IDS_BASE        0x4000
#define IDS_HELLO       (16385)   // a comment
#define IDS_LINES       16386
#define IDS_QUOTES      IDS_BASE + 3
#define MAKE(a, b)      ((a) | (b))
#endif
)");
    const std::string rc = Write("s.rc", R"(#include <windows.h>
#include "inc/ids.h"
#include "inc/ids.h"
#ifdef IDS_H
#define IDS_SEEN 1
#endif
#if 0
this is not a resource script at all
#elif !defined(IDS_SEEN)
#else
LANGUAGE 9, 1
#endif
STRINGTABLE
BEGIN
    IDS_BASE        "Plain"
    IDS_HELLO,      "Hello, %s!"
    IDS_LINES       "one\ntwo\tthree\\four"
    IDS_QUOTES      "say \"hi\" or ""bye""" " joined"
END
)");
    const sim::RcFile f = sim::ReadRcFile(rc);
    ASSERT_EQ(f.strings.size(), 4u);
    EXPECT_EQ(f.strings.at(16384), "Plain");
    EXPECT_EQ(f.strings.at(16385), "Hello, %s!");
    EXPECT_EQ(f.strings.at(16386), "one\ntwo\tthree\\four");
    EXPECT_EQ(f.strings.at(16387), "say \"hi\" or \"bye\" joined");
}

TEST_F(RcFileTest, IconImagesFromTheIcoFile) {
    Write("icons/app.ico", IcoFile({{16, 16, 4, BmpImage(16, 16, 4)},
                                    {32, 32, 0, BmpImage(32, 32, 32)},
                                    {256, 256, 32, PngImage(256, 256)}}));
    const std::string rc = Write("i.rc", "#define IDI_APP 128\nIDI_APP ICON \"icons/app.ico\"\n");

    const sim::RcFile f = sim::ReadRcFile(rc);
    ASSERT_EQ(f.icons.count(128), 1u);
    const sim::RcIcon& icon = f.icons.at(128);
    EXPECT_EQ(icon.id, 128);
    EXPECT_EQ(icon.path, "icons/app.ico");
    ASSERT_EQ(icon.images.size(), 3u);
    const int want[3][3] = {{16, 16, 4}, {32, 32, 32}, {256, 256, 32}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(icon.images[i].width, want[i][0]) << i;
        EXPECT_EQ(icon.images[i].height, want[i][1]) << i;
        EXPECT_EQ(icon.images[i].bitCount, want[i][2]) << i;
    }

    Write("icons/bad.ico", "not an icon");
    const std::string badRc = Write("bad.rc", "1 ICON \"icons/bad.ico\"\n");
    EXPECT_EQ(ErrorOf(badRc).rfind(badRc + ":1: icon file", 0), 0u) << ErrorOf(badRc);
    const std::string missingRc = Write("missing.rc", "\n\n2 ICON \"icons/none.ico\"\n");
    EXPECT_EQ(ErrorOf(missingRc).rfind(missingRc + ":3: icon file", 0), 0u) << ErrorOf(missingRc);
}

TEST_F(RcFileTest, ErrorsNameFileAndLine) {
    Write("ids.h", "#define IDC_OK 1\n#define IDC_BAD IDC_MISSING\n");
    const std::string rc = Write("e.rc", R"(#include "ids.h"
300 DIALOG 0, 0, 100, 50
BEGIN
    PUSHBUTTON "OK", IDC_OK, 1, 1, 40, 14
    PUSHBUTTON "Not OK", IDC_NOPE, 1, 20, 40, 14
END
)");
    EXPECT_EQ(ErrorOf(rc), rc + ":5: unknown symbol 'IDC_NOPE'");

    // A symbol that expands to an unknown one is reported where it is used.
    const std::string rc2 = Write("e2.rc", "#include \"ids.h\"\nSTRINGTABLE\nBEGIN\n  IDC_BAD \"x\"\nEND\n");
    EXPECT_EQ(ErrorOf(rc2), rc2 + ":4: unknown symbol 'IDC_MISSING'");

    // Problems inside an included file name that file.
    const std::string h = Write("broken.h", "#define A 1\n#define B 2\n#bogus\n");
    const std::string rc3 = Write("e3.rc", "#include \"broken.h\"\n");
    EXPECT_EQ(ErrorOf(rc3), h + ":3: unsupported directive #bogus");

    const std::string rc4 = Write("e4.rc", "#include \"absent.h\"\n");
    EXPECT_EQ(ErrorOf(rc4).rfind(rc4 + ":1: cannot open", 0), 0u) << ErrorOf(rc4);

    const std::string rc5 = Write("e5.rc", "1 MENU\nBEGIN\n  MENUITEM \"x\", 1, BOLD\nEND\n");
    EXPECT_EQ(ErrorOf(rc5).rfind(rc5 + ":3: expected a menu item option", 0), 0u) << ErrorOf(rc5);

    const std::string rc6 = Write("e6.rc", "STRINGTABLE\nBEGIN\n  1 \"a\"\n  1 \"b\"\nEND\n");
    EXPECT_EQ(ErrorOf(rc6), rc6 + ":4: duplicate string 1");

    const std::string rc7 = Write("e7.rc", "1 MENU\nBEGIN\n  MENUITEM \"unterminated, 1\nEND\n");
    EXPECT_EQ(ErrorOf(rc7), rc7 + ":3: unterminated string");

    EXPECT_EQ(ErrorOf((dir_ / "none.rc").string()).rfind((dir_ / "none.rc").string() + ":0: cannot open", 0), 0u);
}

TEST(RcFileRealScript, ZevaridaResources) {
    const fs::path rc = ZEVARIDA_RC_PATH;
    if (!fs::exists(rc.parent_path() / "icons" / "linked.ico"))
        GTEST_SKIP() << "the icons of " << rc << " are not drawn yet";
    const sim::RcFile f = sim::ReadRcFile(rc.string());

    ASSERT_EQ(f.menus.count(129), 1u);
    const auto& items = f.menus.at(129).items;
    ASSERT_EQ(items.size(), 4u);
    const char* const names[] = {"TrayMenu", "NewTrayMenu", "ProfileMenu", "ProfileEditMenu"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(items[i].popup);
        EXPECT_EQ(items[i].text, names[i]);
    }

    ASSERT_EQ(f.dialogs.count(256), 1u);
    EXPECT_EQ(f.dialogs.at(256).caption, "Set at run time");
    EXPECT_TRUE(f.dialogs.at(256).controls.empty());

    ASSERT_EQ(f.strings.count(16389), 1u);
    EXPECT_EQ(f.strings.at(16389), "Wireless Client Utility");

    for (const auto& [id, icon] : f.icons) EXPECT_FALSE(icon.images.empty()) << "icon " << id;

    // Every icon has an image for each size the shell draws small icons at
    // (96, 120, 144 and 192 DPI) and the 32 x 32 of the large icon.
    for (int id : {128, 136, 137, 512, 513, 514, 515, 516, 517, 518, 519}) {
        ASSERT_EQ(f.icons.count(id), 1u) << id;
        std::set<int> sizes;
        for (const sim::RcIconImage& image : f.icons.at(id).images) {
            EXPECT_EQ(image.width, image.height) << id;
            sizes.insert(image.width);
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32})) << "icon " << id;
    }

    // The manifest: visual styles, no elevation, written for Vista to 11, DPI aware.
    const char* const wanted[] = {
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">",
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
        ">true</dpiAware>",
    };
    for (const char* text : wanted) EXPECT_NE(f.manifest.find(text), std::string::npos) << text;
}
