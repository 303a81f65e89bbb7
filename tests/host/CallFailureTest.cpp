// Where one failing call leads: for each Win32 call and driver-library method
// whose failure has a defined outcome and no other test of its own, the state
// the user and the shell see afterwards. (The random walk makes every call
// fail and checks that nothing leaks or breaks.)
#include "ProgramRun.h"

#include "resource.h"
#include "tray/TrayMessages.h"

#include <functional>

namespace {

class CallFailureTest : public DesktopTest {
protected:
    std::string Tip() const { return TrayIcon(0) ? TrayIcon(0)->tip : "<no icon>"; }
};

TEST_F(CallFailureTest, EachFailureLeadsWhereItShould) {
    struct Case {
        const char* call;  // a Win32 function, or a method of the driver library
        bool method;
        int skip;  // calls that pass first
        std::function<void()> act;
        std::function<void()> expect;
    };
    const Case cases[] = {
        // No cursor position when the menu would show (after the press and the
        // click's pointer check): no menu, and the window goes back to disabled and hidden.
        {"GetCursorPos", false, 2, [this] { OpenMenu(0); },
         [this] {
             EXPECT_EQ(OpenPopup(), "none");
             EXPECT_FALSE(desk.Window(TrayWindow()).visible);
             EXPECT_FALSE(desk.Window(TrayWindow()).enabled);
         }},
        // An applet without its entry point is freed again and nothing opens.
        {"GetProcAddress", false, 0, [this] { Post(WM_COMMAND, ID_VERSION_INFORMATION, 0); },
         [this] {
             EXPECT_TRUE(applet.calls.empty());
             EXPECT_EQ(desk.LoadedModules(), 0);
         }},
        // A quality text that does not load leaves the description and speed.
        {"LoadStringA", false, 0, [this] { Ticks(1); },
         [this] { EXPECT_EQ(Tip(), "Adapter One\nSpeed: 11.0 Mbps\n"); }},
        // A search that fails empties the slot and removes its icon; the next tick finds it again.
        {"Item", true, 0, [this] { Ticks(1); },
         [this] {
             EXPECT_EQ(TrayIcon(0), nullptr);
             Ticks(1);
             EXPECT_EQ(Tip(), "Adapter One\nSpeed: 11.0 Mbps\nExcellent Link Quality 100%");
         }},
        {"Attach", true, 0, [this] { Ticks(1); }, [this] { EXPECT_EQ(TrayIcon(0), nullptr); }},
        // An identifier that cannot be read reaches the applet as the empty string.
        {"GetAdapterID", true, 0, [this] { Post(WM_COMMAND, ID_VERSION_INFORMATION, 0); },
         [this] {
             ASSERT_EQ(applet.calls.size(), 1u);
             EXPECT_EQ(applet.calls[0].entries[1], "");
             applet.Close();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        library.Add("Adapter One");
        applet.Install();
        Start();
        Ticks(1);
        if (c.method)
            library.FailCall(c.call);
        else
            desk.FailCall(c.call, 1, c.skip);
        c.act();
        if (c.method)
            EXPECT_TRUE(library.methodsFailed.count(c.call));
        else
            EXPECT_TRUE(desk.FunctionsFailed().count(c.call));
        c.expect();
        StartOver();
    }
}

}  // namespace
