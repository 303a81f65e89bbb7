// The hidden tray window: initialisation, title, the poll tick, the messages
// of later starts and of the shell, Enter and Escape, and shutdown.
#include "ProgramRun.h"

#include "resource.h"
#include "tray/TrayMessages.h"

#include <algorithm>

namespace {

class TrayWindowTest : public DesktopTest {
protected:
    int PollTimersSet() const { return CallsWith("SetTimer(", "0xBABEFACE"); }
};

TEST_F(TrayWindowTest, InitialisesHiddenDisabledWithItsIconsAndTitle) {
    Start();
    sim::WindowView window = desk.Window(TrayWindow());
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(window.enabled);
    EXPECT_EQ(window.text, kTrayTitle);
    EXPECT_EQ(desk.IconResource(window.bigIcon), IDI_APPLICATION_ICON);
    EXPECT_EQ(desk.IconResource(window.smallIcon), IDI_APPLICATION_ICON);
    EXPECT_EQ(PollTimersSet(), 1);
    EXPECT_TRUE(desk.Beeps().empty());
    // Ten status images at 16 x 16 and the menu with its pop-ups.
    EXPECT_EQ(desk.OpenIcons(), 10);
    EXPECT_EQ(desk.OpenMenus(), 5);
}

TEST_F(TrayWindowTest, TitleComesFromTheStringOfTheScreenOrientation) {
    struct Case {
        int width, height;
        std::string expectedLoad;
    };
    for (const Case& c : {Case{1024, 768, "LoadStringA(16392)"}, Case{768, 1024, "LoadStringA(16389)"},
                          Case{800, 800, "LoadStringA(16392)"}}) {
        SCOPED_TRACE(c.width);
        desk.SetScreen(c.width, c.height);
        desk.OverrideString(IDS_TITLE_PORTRAIT, "Portrait title");
        desk.OverrideString(IDS_TITLE_LANDSCAPE, "Landscape title");
        Start();
        EXPECT_EQ(desk.Window(TrayWindow()).text, c.height > c.width ? "Portrait title" : "Landscape title");
        EXPECT_EQ(std::count(desk.Calls().begin(), desk.Calls().end(), c.expectedLoad), 1);
        Post(WM_COMMAND, ID_EXIT, 0);
        processes.clear();
        desk.Reset();
    }
}

TEST_F(TrayWindowTest, TitleStartingWithABlankOrEmptyGetsTheCompanyName) {
    desk.OverrideString(IDS_TITLE_LANDSCAPE, " Utility");
    Start();
    EXPECT_EQ(desk.Window(TrayWindow()).text, "Quorvane Utility");
    Post(WM_COMMAND, ID_EXIT, 0);
    processes.clear();

    desk.Reset();
    desk.HideResource(sim::ResourceKind::String, IDS_TITLE_LANDSCAPE);
    Start();
    EXPECT_EQ(desk.Window(TrayWindow()).text, "Quorvane");
}

TEST_F(TrayWindowTest, TitleIsCutTo127BytesWithoutSplittingADoubleByteCharacter) {
    // "Quorvane" (8 bytes) + a blank + 117 single bytes = 126; the next
    // character is two bytes wide and no longer fits in 127.
    std::string text = " " + std::string(117, 'a') + "\x81\x40" + "tail";
    desk.SetLeadBytes({0x81});
    desk.OverrideString(IDS_TITLE_LANDSCAPE, text);
    Start();
    EXPECT_EQ(desk.Window(TrayWindow()).text, "Quorvane " + std::string(117, 'a'));

    Post(WM_COMMAND, ID_EXIT, 0);
    processes.clear();
    desk.Reset();
    desk.OverrideString(IDS_TITLE_LANDSCAPE, std::string(200, 'b'));
    Start();
    EXPECT_EQ(desk.Window(TrayWindow()).text, std::string(127, 'b'));
}

TEST_F(TrayWindowTest, MissingImageOrMenuLeavesTheWindowInertButAnswering) {
    struct Missing {
        sim::ResourceKind kind;
        int id;
    };
    for (const Missing& missing :
         {Missing{sim::ResourceKind::Icon, IDI_RADIO_OFF_DOWN}, Missing{sim::ResourceKind::Icon, IDI_FRAME_ERRORS},
          Missing{sim::ResourceKind::Icon, IDI_APPLICATION_ICON}, Missing{sim::ResourceKind::Menu, IDR_TRAY_MENU}}) {
        SCOPED_TRACE(missing.id);
        desk.HideResource(missing.kind, missing.id);
        library.Add("Adapter One");
        sim::Process& program = Start();
        HWND window = TrayWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(desk.Beeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
        EXPECT_EQ(desk.Window(window).text, "Set at run time");
        EXPECT_EQ(PollTimersSet(), 0);
        library.calls.clear();
        Ticks(3);
        EXPECT_TRUE(library.calls.empty());
        EXPECT_TRUE(desk.TrayIcons().empty());

        // Still answers: the taskbar message starts the poll timer even now...
        desk.Send(window, desk.RegisteredMessage("TaskbarCreated"), 0, 0);
        EXPECT_EQ(PollTimersSet(), 1);
        // ...and the stop message ends it.
        desk.Send(window, desk.RegisteredMessage("ZEVARIDA.EXE STOP"), 0, 0);
        EXPECT_TRUE(program.Finished());
        StartOver();
    }
}

TEST_F(TrayWindowTest, FirstActivationHidesTheWindowAndLaterOnesDoNothing) {
    Start();
    HWND window = TrayWindow();
    // The modal loop showed the window once; the first activation hid it.
    EXPECT_GE(desk.CountCalls("ShowWindow"), 2);
    EXPECT_FALSE(desk.Window(window).visible);
    desk.ClearCalls();
    desk.Send(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(desk.CountCalls("ShowWindow"), 0);
    EXPECT_EQ(desk.CountCalls("EnableWindow"), 0);
}

TEST_F(TrayWindowTest, ConfigureOrInstallPostsTheConfigurationCommandOnTheFirstTickOnly) {
    struct Case {
        const char* arguments;
        int posts;
    };
    for (const Case& c : {Case{"CONFIGURE", 1}, Case{"INSTALL", 1}, Case{"CONFIGURE INSTALL", 1}, Case{"configure", 0},
                          Case{"", 0}, Case{"/START", 0}}) {
        SCOPED_TRACE(c.arguments);
        Start(c.arguments);
        desk.Advance(999);
        EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), 0);
        desk.Advance(1);
        EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), c.posts);
        Ticks(5);
        EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), c.posts);
        Post(WM_COMMAND, ID_EXIT, 0);
        processes.clear();
        desk.Reset();
    }
}

TEST_F(TrayWindowTest, EachStartMessagePostsTheConfigurationCommand) {
    Start();
    const UINT start = desk.RegisteredMessage("ZEVARIDA.EXE START");
    EXPECT_EQ(desk.Send(TrayWindow(), start, 0, 0), 0);
    desk.Send(TrayWindow(), start, 0, 0);
    EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), 2);
}

TEST_F(TrayWindowTest, TickArrivingDuringATickIsDroppedWhole) {
    library.Add("Adapter One");
    Start("CONFIGURE");
    // The driver call of the first tick runs a nested message loop for three
    // seconds, the way a modal driver prompt would.
    bool nested = false;
    int nestedTicks = 0;
    library.onCall = [&](const std::string& call) {
        if (call != "GetRadioState(0)" || nested) return;
        nested = true;
        const int searchesBefore = library.CountCalls("Item(0)");
        const int postsBefore = PostedCommands(ID_ADVANCED_CONFIGURATION);
        desk.PumpMessagesFor(3000);
        nestedTicks = library.CountCalls("Item(0)") - searchesBefore;
        EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), postsBefore);
    };
    desk.Advance(1000);
    EXPECT_TRUE(nested);
    desk.Advance(3000);
    // The ticks during the nested loop did not even search for adapters.
    EXPECT_EQ(nestedTicks, 0);
    EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), 1);
    // Afterwards ticks run normally again.
    library.calls.clear();
    Ticks(1);
    EXPECT_EQ(library.CountCalls("GetRadioState"), 1);
}

TEST_F(TrayWindowTest, EnterAndEscapeOnlyBeep) {
    sim::Process& program = Start();
    desk.PressKey(TrayWindow(), VK_RETURN);
    desk.PressKey(TrayWindow(), VK_ESCAPE);
    desk.Send(TrayWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(desk.Beeps(), (std::vector<UINT>{MB_ICONASTERISK, MB_ICONASTERISK, MB_ICONASTERISK}));
    EXPECT_FALSE(program.Finished());
}

TEST_F(TrayWindowTest, ShutdownDeletesAllFourIconsAndEndsWithOk) {
    sim::Process& program = Start();
    HWND window = TrayWindow();
    desk.ClearTrayCalls();
    desk.ClearCalls();
    Post(WM_COMMAND, ID_EXIT, 0);
    ASSERT_EQ(desk.TrayCalls().size(), 4u);
    for (UINT slot = 0; slot < 4; ++slot) {
        const sim::TrayCall& call = desk.TrayCalls()[slot];
        EXPECT_EQ(call.message, static_cast<DWORD>(NIM_DELETE));
        EXPECT_EQ(call.size, 88u);
        EXPECT_EQ(call.window, window);
        EXPECT_EQ(call.id, slot);
    }
    EXPECT_EQ(desk.CountCalls("KillTimer"), 1);
    EXPECT_EQ(desk.CountCalls("DestroyMenu"), 1);
    EXPECT_EQ(desk.CountCalls("EndDialog"), 1);
    // The instance mutex is released and closed before the process ends.
    EXPECT_EQ(desk.CountCalls("ReleaseMutex"), 1);
    EXPECT_EQ(desk.CountCalls("CloseHandle"), 1);
    char endDialog[64];
    std::snprintf(endDialog, sizeof endDialog, "EndDialog(%p, 1)", (void*)window);
    EXPECT_NE(std::find(desk.Calls().begin(), desk.Calls().end(), endDialog), desk.Calls().end());
    EXPECT_TRUE(program.Finished());
    EXPECT_EQ(program.ExitCode(), 0);
    // Everything the window loaded is released.
    EXPECT_EQ(desk.OpenIcons(), 0);
    EXPECT_EQ(desk.OpenMenus(), 0);
}

TEST_F(TrayWindowTest, StopMessageShutsDownInsideTheSend) {
    sim::Process& program = Start();
    LRESULT result = desk.Send(TrayWindow(), desk.RegisteredMessage("ZEVARIDA.EXE STOP"), 0, 0);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(program.Finished());
    EXPECT_EQ(desk.TrayCalls().size(), 4u);
}

TEST_F(TrayWindowTest, ShutDownWindowStaysDownWhileADialogIsStillOpen) {
    library.Add("Adapter One");
    sim::Process& program = Start();
    Ticks(1);
    HWND dialog = OpenDialog(ID_ADD_PROFILE, "Add Wireless Profile");
    desk.Send(TrayWindow(), desk.RegisteredMessage("ZEVARIDA.EXE STOP"), 0, 0);
    EXPECT_TRUE(desk.TrayIcons().empty());
    // The shell restarts before the user closes the dialog: no poll comes back.
    desk.Send(TrayWindow(), desk.RegisteredMessage("TaskbarCreated"), 0, 0);
    Ticks(3);
    EXPECT_TRUE(desk.TrayIcons().empty());
    desk.PressKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(program.Finished());
    EXPECT_TRUE(desk.TrayIcons().empty());
}

TEST_F(TrayWindowTest, TaskbarMessageRestartsThePollTimer) {
    Start();
    desk.Advance(600);
    desk.ClearCalls();
    EXPECT_EQ(desk.Send(TrayWindow(), desk.RegisteredMessage("TaskbarCreated"), 0, 0), 0);
    EXPECT_EQ(desk.CountCalls("KillTimer"), 1);
    EXPECT_EQ(PollTimersSet(), 1);
    // The next tick comes a full period after the restart.
    library.Add("Adapter One");
    library.calls.clear();
    desk.Advance(999);
    EXPECT_TRUE(library.calls.empty());
    desk.Advance(1);
    EXPECT_FALSE(library.calls.empty());
}

}  // namespace
