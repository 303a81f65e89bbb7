// The network dialogs: the key field's filter, the checks on OK with their
// messages and focus, the limits, and that they change nothing.
#include "ProgramRun.h"

#include "dialogs/KeyEdit.h"
#include "resource.h"

namespace {

const char kAdhoc[] = "Setup Adhoc Wireless Network";

class KeyEntryTest : public DesktopTest {
protected:
    void SetUp() override {
        library.Add("Adapter One");
        Start();
        Ticks(1);
        library.calls.clear();
        dialog = OpenDialog(ID_COMPUTER_TO_COMPUTER, kAdhoc);
        ASSERT_NE(dialog, nullptr);
        key = Item(dialog, IDC_ENCRYPTION_KEY);
    }
    // Pastes the key and presses OK; the message shown, "" when none.
    std::string ConfirmKey(const std::string& text) {
        desk.Send(key, WM_SETTEXT, 0, 0);
        desk.Paste(key, text);
        const size_t boxes = desk.MessageBoxes().size();
        desk.Click(Item(dialog, IDOK));
        return desk.MessageBoxes().size() > boxes ? desk.MessageBoxes().back().text : "";
    }
    HWND dialog = nullptr;
    HWND key = nullptr;
};

TEST(KeyFilterTest, OptionsOfTheFilter) {
    struct Case {
        char character;
        const char* before;
        BOOL strict;
        char separator, prefix;
        bool passes;
    };
    for (const Case& c : {Case{'-', "", FALSE, '-', 0, true}, Case{'-', "", TRUE, '-', 0, false},
                          Case{':', "", FALSE, '-', 0, false}, Case{'$', "", FALSE, 0, '$', true},
                          Case{'x', "$1", FALSE, 0, '$', true}, Case{'x', "1$", FALSE, 0, '$', false},
                          Case{'$', "1", FALSE, 0, '$', false}, Case{'\x16', "", TRUE, 0, 0, true}}) {
        EXPECT_EQ(KeyCharacterPasses(c.character, c.before, c.strict, c.separator, c.prefix), c.passes)
            << c.character << " after \"" << c.before << "\"";
    }
}

TEST_F(KeyEntryTest, KeyFieldLetsOnlyHexadecimalDigitsThroughAsTheyAreTyped) {
    desk.Type(key, "09afAF");
    EXPECT_TRUE(desk.Beeps().empty());
    for (const char* refused : {"G", "z", " ", "-", "\xE9", "\x80", "\xFF"}) {
        const size_t beeps = desk.Beeps().size();
        desk.Type(key, refused);
        ASSERT_EQ(desk.Beeps().size(), beeps + 1) << int(static_cast<unsigned char>(*refused));
        EXPECT_EQ(desk.Beeps().back(), 0xFFFFFFFFu);
        EXPECT_EQ(desk.Control(key).text, "09afAF");
    }
    // Control characters pass: backspace edits as usual.
    desk.Type(key, "\b");
    EXPECT_EQ(desk.Control(key).text, "09afA");
    // A character of more than one byte arrives a byte at a time; its later
    // bytes go with the refused first, even one that looks like a digit.
    struct Case {
        UINT codePage;
        const char* typed;
    };
    desk.SetLeadBytes({0x81});
    for (const Case& c : {Case{932,
                               "\x81"
                               "A"},
                          Case{65001, "\xE2\x82\xAC"}, Case{65001, "\xF0\x9F\x98\x80"}}) {
        desk.SetCodePage(c.codePage);
        const size_t beeps = desk.Beeps().size();
        desk.Type(key, c.typed);
        EXPECT_EQ(desk.Beeps().size(), beeps + 1) << c.typed;
        EXPECT_EQ(desk.Control(key).text, "09afA") << c.typed;
    }
    desk.Type(key, "B");
    EXPECT_EQ(desk.Control(key).text, "09afAB");
}

TEST_F(KeyEntryTest, ChecksOnOkShowWhyAndKeepTheDialogOpen) {
    EXPECT_EQ(desk.Control(key).limit, 26u);
    EXPECT_EQ(desk.Control(Item(dialog, IDC_NETWORK_NAME)).limit, 32u);
    EXPECT_EQ(desk.Focus(), Item(dialog, IDC_NETWORK_NAME));  // the name field, once shown
    struct Case {
        std::string key;
        std::string message;
    };
    const std::string hex = "Invalid hexadecimal number.\nPlease enter a valid hexadecimal number.";
    for (const Case& c :
         {Case{std::string(25, '1'), "Invalid key length of 25 characters.\nPlease enter exactly 26 characters."},
          Case{std::string(25, '1') + "G", hex}, Case{std::string(26, 'x'), hex},
          Case{"0123456789ABCDEFabcdef0909G", ""}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ConfirmKey(c.key), c.message);
        if (c.message.empty()) break;  // 27 pasted characters were cut to 26 digits: accepted
        EXPECT_TRUE(desk.WindowExists(dialog));
        EXPECT_EQ(desk.MessageBoxes().back().type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(desk.Focus(), key);
        EXPECT_EQ(desk.Control(key).selStart, 0u);
        EXPECT_EQ(desk.Control(key).selEnd, c.key.size());
    }
    EXPECT_FALSE(desk.WindowExists(dialog));
    // The dialog collected input and nothing else.
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(desk.OpenRegistryKeys(), 0);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
}

TEST_F(KeyEntryTest, NameIsCheckedFirstAndAnEmptyKeyPasses) {
    desk.Send(Item(dialog, IDC_NETWORK_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::string(33, 'n').c_str()));
    EXPECT_EQ(ConfirmKey("1"), "Please enter no more than 32 characters.");
    EXPECT_EQ(desk.Focus(), Item(dialog, IDC_NETWORK_NAME));
    desk.Send(Item(dialog, IDC_NETWORK_NAME), WM_SETTEXT, 0, 0);
    desk.Type(Item(dialog, IDC_NETWORK_NAME), std::string(33, 'n'));
    EXPECT_EQ(desk.Control(Item(dialog, IDC_NETWORK_NAME)).text, std::string(32, 'n'));
    EXPECT_EQ(ConfirmKey(""), "");
    EXPECT_FALSE(desk.WindowExists(dialog));

    // The other network dialog keeps the focus on OK.
    HWND other = OpenDialog(ID_OTHER_NETWORK, "Select Wireless Network");
    EXPECT_EQ(desk.Focus(), Item(other, IDOK));
    desk.Type(Item(other, IDC_ENCRYPTION_KEY), "g");
    EXPECT_EQ(desk.Beeps().size(), 1u);
    desk.Click(Item(other, IDCANCEL));
    EXPECT_FALSE(desk.WindowExists(other));
}

}  // namespace
