// Context help: F1 in a dialog opens the help file at the dialog's topic,
// while the context-help library is there.
#include "ProgramRun.h"

#include "resource.h"

namespace {

int WINAPI AcceptHelpFile(const char*, int) { return 1; }

class HelpTest : public DesktopTest {
protected:
    void InstallHelpLibrary() {
        desk.RegisterModule(
            "TAVROCSH.DLL",
            {{"CSHInitialize", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&AcceptHelpFile))}});
    }
    // The topics the help viewer was asked for.
    std::vector<ULONG_PTR> Topics() const {
        std::vector<ULONG_PTR> topics;
        for (const sim::HelpCall& call : desk.HelpCalls()) {
            EXPECT_EQ(call.window, TrayWindow());
            EXPECT_EQ(call.file, "ZEVARIDA.hlp");
            EXPECT_EQ(call.command, static_cast<UINT>(HELP_CONTEXT));
            topics.push_back(call.data);
        }
        return topics;
    }
};

TEST_F(HelpTest, F1OpensTheTopicOfTheWindowTheUserIsIn) {
    InstallHelpLibrary();
    Start();
    HWND dialog = OpenDialog(ID_REMOVE_STATUS_ICON, "Remove Wireless Status Icon");
    desk.PressKey(Item(dialog, IDC_REMOVE_PERMANENTLY), VK_F1);
    EXPECT_EQ(Topics(), std::vector<ULONG_PTR>{258});
    // The window holding the mouse capture goes first, and loses the capture.
    desk.SetCapture(TrayWindow());
    desk.PressKey(dialog, VK_F1);
    EXPECT_EQ(Topics(), (std::vector<ULONG_PTR>{258, 256}));
    EXPECT_EQ(desk.Capture(), nullptr);
    desk.PressKey(dialog, VK_ESCAPE);

    HWND adhoc = OpenDialog(ID_COMPUTER_TO_COMPUTER, "Setup Adhoc Wireless Network");
    desk.SetCapture(Item(adhoc, IDC_ENCRYPTION_KEY));
    desk.PressKey(Item(adhoc, IDC_ENCRYPTION_KEY), VK_F1);
    EXPECT_EQ(Topics(), (std::vector<ULONG_PTR>{258, 256, 259}));
    EXPECT_EQ(desk.Capture(), nullptr);
    desk.PressKey(adhoc, VK_ESCAPE);
    // The help command from outside, with no dialog open: the tray window's topic.
    Post(WM_COMMAND, 57670, 0);
    EXPECT_EQ(Topics(), (std::vector<ULONG_PTR>{258, 256, 259, 256}));
    EXPECT_TRUE(desk.MessageBoxes().empty());
}

TEST_F(HelpTest, NoHelpWithAModifierHeldOrWithoutTheLibrary) {
    InstallHelpLibrary();
    Start();
    HWND dialog = OpenDialog(ID_REMOVE_STATUS_ICON, "Remove Wireless Status Icon");
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        desk.SetKey(key, true);
        desk.PressKey(dialog, VK_F1);
        desk.SetKey(key, false);
    }
    EXPECT_TRUE(desk.HelpCalls().empty());
    desk.PressKey(dialog, VK_ESCAPE);

    StartOver();
    Start();
    dialog = OpenDialog(ID_REMOVE_STATUS_ICON, "Remove Wireless Status Icon");
    desk.PressKey(dialog, VK_F1);
    EXPECT_TRUE(desk.HelpCalls().empty());
    EXPECT_TRUE(desk.Beeps().empty());
    EXPECT_TRUE(desk.MessageBoxes().empty());
}

TEST_F(HelpTest, ViewerThatCannotStartIsReported) {
    InstallHelpLibrary();
    desk.SetHelpViewerStarts(false);
    Start();
    HWND dialog = OpenDialog(ID_ADD_PROFILE, "Add Wireless Profile");
    desk.PressKey(dialog, VK_F1);
    EXPECT_EQ(Topics(), std::vector<ULONG_PTR>{261});
    EXPECT_EQ(desk.MessageBoxes(), (std::vector<sim::MessageBoxRecord>{
                                       {dialog, "Failed to launch help.", "ZEVARIDA", MB_OK | MB_ICONEXCLAMATION}}));
}

}  // namespace
