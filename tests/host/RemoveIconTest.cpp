// "&Remove Status Icon...": the check box preset from the autorun value, the
// value deleted or written when the dialog closes, and the program ending on
// "&Yes".
#include "ProgramRun.h"

#include "resource.h"

#include <cstdio>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kTitle[] = "Remove Wireless Status Icon";
const std::string kWritten = std::string("\"C:\\Program Files\\Quorvane\\ZEVARIDA.EXE\" /START") + '\0';

class RemoveIconTest : public DesktopTest {
protected:
    void Register(const std::string& data) {
        desk.SetRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "ZEVARIDA.EXE", {REG_SZ, data});
    }
    // The autorun value's bytes, "<none>" without one.
    std::string RunValue() const {
        sim::RegistryValue value;
        if (!desk.FindRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "ZEVARIDA.EXE", &value)) return "<none>";
        return value.type == REG_SZ ? value.data : "<not REG_SZ>";
    }
};

TEST_F(RemoveIconTest, AnswerAndCheckBoxDecideTheAutorunValueAndTheEnd) {
    enum Answer { Yes, Enter, No, Escape, CloseBox };
    struct Case {
        bool registered;
        bool tick;  // the user clicks the check box once
        Answer answer;
        std::string valueAfter;
        bool ends;
    };
    const Case cases[] = {
        {true, true, Yes, "<none>", true},       {true, false, Enter, kWritten, true},
        {false, false, No, kWritten, false},     {true, true, No, kWritten, false},
        {false, false, Escape, kWritten, false}, {false, false, CloseBox, kWritten, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "registered " << c.registered << " tick " << c.tick << " answer "
                                        << c.answer);
        if (c.registered) Register("\"C:\\Old\\ZEVARIDA.EXE\" /START");
        library.Add("Adapter One");
        sim::Process& program = Start();
        Ticks(1);
        HWND dialog = OpenDialog(ID_REMOVE_STATUS_ICON, kTitle);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(desk.Window(dialog).owner, TrayWindow());
        EXPECT_EQ(desk.Focus(), Item(dialog, IDOK));
        // Ticked exactly when the program does not start at logon.
        EXPECT_EQ(desk.Control(Item(dialog, IDC_REMOVE_PERMANENTLY)).check, c.registered ? BST_UNCHECKED : BST_CHECKED);
        if (c.tick) desk.Click(Item(dialog, IDC_REMOVE_PERMANENTLY));
        if (c.answer == Yes) desk.Click(Item(dialog, IDOK));
        if (c.answer == Enter) desk.PressKey(dialog, VK_RETURN);
        if (c.answer == No) desk.Click(Item(dialog, IDCANCEL));
        if (c.answer == Escape) desk.PressKey(Item(dialog, IDC_REMOVE_PERMANENTLY), VK_ESCAPE);
        if (c.answer == CloseBox) desk.Send(dialog, WM_CLOSE, 0, 0);
        EXPECT_FALSE(desk.WindowExists(dialog));
        EXPECT_EQ(RunValue(), c.valueAfter);
        EXPECT_EQ(program.Finished(), c.ends);
        EXPECT_EQ(desk.TrayIcons().empty(), c.ends);
        EXPECT_EQ(desk.OpenRegistryKeys(), 0);
        EXPECT_EQ(desk.HandlesLeftAtExit(), 0);
        StartOver();
    }
}

TEST_F(RemoveIconTest, UnreadableOrUnwritableValueAndAMissingDialog) {
    // A value longer than 259 bytes cannot be read and counts as absent.
    Register(std::string(300, 'p'));
    sim::Process& program = Start();
    HWND dialog = OpenDialog(ID_REMOVE_STATUS_ICON, kTitle);
    EXPECT_EQ(desk.Control(Item(dialog, IDC_REMOVE_PERMANENTLY)).check, BST_CHECKED);
    desk.Click(Item(dialog, IDC_REMOVE_PERMANENTLY));
    // A Run key that cannot be written: the program still ends on "&Yes".
    desk.FailCall("RegCreateKeyExA", -1);
    desk.Click(Item(dialog, IDOK));
    EXPECT_EQ(RunValue(), std::string(300, 'p'));
    EXPECT_TRUE(program.Finished());

    // A dialog that cannot be created counts as "&No": the value is written.
    // But a path that fills the name buffer comes back cut and may name
    // another file, and a failed call gives none: nothing is written then.
    for (size_t length : {256u, 257u, 0u}) {
        StartOver();
        desk.HideResource(sim::ResourceKind::Dialog, IDD_REMOVE_ICON);
        desk.SetModulePath("C:\\" + std::string(length, 'd'));
        sim::Process& again = Start();
        if (length == 0) desk.FailCall("GetModuleFileNameA", -1);
        Post(WM_COMMAND, ID_REMOVE_STATUS_ICON, 0);
        EXPECT_EQ(RunValue(), length == 256 ? "\"C:\\" + std::string(256, 'd') + "\" /START" + '\0' : "<none>");
        EXPECT_FALSE(again.Finished());
    }
}

TEST_F(RemoveIconTest, CommandsThatOpenADialogWhileOneIsOpenBringItForward) {
    sim::Process& program = Start();
    HWND dialog = OpenDialog(ID_REMOVE_STATUS_ICON, kTitle);
    // Thirty queued commands, five of each that opens a dialog.
    for (int round = 0; round < 5; ++round)
        for (UINT command : {ID_COMPUTER_TO_COMPUTER, ID_OTHER_NETWORK, ID_REMOVE_STATUS_ICON, ID_ADD_PROFILE,
                             ID_DELETE_PROFILE, ID_RENAME_PROFILE})
            Post(WM_COMMAND, command, 0);
    int dialogs = 0;
    for (const sim::WindowView& window : desk.TopLevelWindows()) dialogs += window.owner == TrayWindow();
    EXPECT_EQ(dialogs, 1);
    char foreground[64];
    std::snprintf(foreground, sizeof foreground, "SetForegroundWindow(%p)", (void*)dialog);
    EXPECT_EQ(CallsWith(foreground, ""), 30);
    EXPECT_EQ(RunValue(), "<none>");
    // Its own answer counts, once, and nothing opens after it.
    desk.Click(Item(dialog, IDOK));
    EXPECT_EQ(RunValue(), "<none>");
    EXPECT_TRUE(program.Finished());
}

}  // namespace
