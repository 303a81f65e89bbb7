// The framework's message maps: a dialog's map is searched first and chains to
// its base's, so that a derived dialog keeps the entries of every class above
// it and overrides only the ones it declares again; WM_TIMER reaches its
// handler with the timer's id; a registered message matches the id the
// dialog holds.
#include "ProgramRun.h"

#include "framework/AppBase.h"
#include "framework/DialogBase.h"
#include "resource.h"

#include <cstdio>

namespace {

const UINT kBaseCommand = 40001;
const UINT kDerivedCommand = 40002;
const UINT kSharedCommand = 40003;
const UINT kUnmappedCommand = 40004;
const char kPingName[] = "MessageMapTest ping";
const WORD kEditChanged = 0x0300;  // EN_CHANGE, a control's notification

// What the handlers saw, in order; the test reads it while the dialog waits.
std::vector<std::string> handled;

class CBaseMapDlg : public CDialogBase {
    DECLARE_DIALOG_CLASS(CBaseMapDlg)

public:
    CBaseMapDlg() : CDialogBase(IDD_REMOVE_ICON) {}
    UINT pingMessage = 0;

private:
    DECLARE_MESSAGE_MAP()
    void OnBaseCommand() { handled.push_back("base command"); }
    void OnShared() { handled.push_back("base shared"); }
    LRESULT OnPing(WPARAM wParam, LPARAM) {
        handled.push_back("ping " + std::to_string(wParam));
        return 7;
    }
};

BEGIN_MESSAGE_MAP(CBaseMapDlg, CDialogBase)
    ON_COMMAND(kBaseCommand, OnBaseCommand)
    ON_COMMAND(kSharedCommand, OnShared)
    ON_REGISTERED_MESSAGE(pingMessage, OnPing)
END_MESSAGE_MAP()

// A class between them that declares no map of its own.
class CMiddleMapDlg : public CBaseMapDlg {};

class CDerivedMapDlg : public CMiddleMapDlg {
    DECLARE_DIALOG_CLASS(CDerivedMapDlg)

private:
    DECLARE_MESSAGE_MAP()
    void OnDerivedCommand() { handled.push_back("derived command"); }
    void OnShared() { handled.push_back("derived shared"); }
    void OnTimer(UINT_PTR timerId) {
        char text[32];
        std::snprintf(text, sizeof text, "timer 0x%X", static_cast<unsigned>(timerId));
        handled.push_back(text);
    }
};

BEGIN_MESSAGE_MAP(CDerivedMapDlg, CMiddleMapDlg)
    ON_COMMAND(kDerivedCommand, OnDerivedCommand)
    ON_COMMAND(kSharedCommand, OnShared)
    ON_WM_TIMER(OnTimer)
END_MESSAGE_MAP()

class MessageMapTest : public DesktopTest {
protected:
    MessageMapTest() { handled.clear(); }
    HWND Dialog() const {
        for (const sim::WindowView& w : desk.TopLevelWindows())
            if (w.templateId == IDD_REMOVE_ICON) return w.handle;
        return nullptr;
    }
};

TEST_F(MessageMapTest, EachEntryOfTheChainReachesItsHandler) {
    processes.push_back(std::make_unique<sim::Process>([] {
        CAppBase app;
        CDerivedMapDlg dialog;
        dialog.pingMessage = RegisterWindowMessageA(kPingName);
        return static_cast<int>(dialog.DoModal());
    }));
    HWND dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    struct Case {
        UINT message;
        WPARAM wParam;
        std::vector<std::string> handled;  // what the handlers saw, nothing when the map has no entry
    };
    const UINT ping = desk.RegisteredMessage(kPingName);
    const Case cases[] = {
        {WM_COMMAND, kDerivedCommand, {"derived command"}},
        {WM_COMMAND, kBaseCommand, {"base command"}},                 // two classes up, past the one without a map
        {WM_COMMAND, kSharedCommand, {"derived shared"}},             // the derived entry hides the base's
        {WM_COMMAND, MAKEWPARAM(kBaseCommand, 1), {"base command"}},  // an accelerator
        {WM_COMMAND, MAKEWPARAM(kBaseCommand, kEditChanged), {}},     // a control notification is no command
        {WM_COMMAND, kUnmappedCommand, {}},
        {WM_TIMER, 0xFACEBABE, {"timer 0xFACEBABE"}},
        {ping, 3, {"ping 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SCOPED_TRACE(c.wParam);
        handled.clear();
        desk.Post(dialog, c.message, c.wParam, 0);
        EXPECT_EQ(handled, c.handled);
    }
    // A registered message answers with the handler's result.
    EXPECT_EQ(desk.Send(dialog, ping, 4, 0), 7);
    // The base's standard commands still close it.
    desk.Post(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(processes.back()->Finished());
    EXPECT_EQ(processes.back()->ExitCode(), IDCANCEL);
}

}  // namespace
