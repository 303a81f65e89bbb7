// The program elevated on Vista and later: its own registered messages and
// the shell's "TaskbarCreated" are let through the filter that keeps the
// messages of processes of lower integrity away, and nowhere else is
// anything changed.
#include "ProgramRun.h"

namespace {

const DWORD kAllow = 1;  // MSGFLT_ALLOW, and the Vista call's MSGFLT_ADD

class MessageFilterTest : public DesktopTest {
protected:
    // The three messages as Windows got them for `window` (null: the process).
    std::vector<sim::MessageFilterCall> Allowed(HWND window) const {
        std::vector<sim::MessageFilterCall> calls;
        for (const char* name : {"ZEVARIDA.EXE STOP", "ZEVARIDA.EXE START", "TaskbarCreated"})
            calls.push_back({window, desk.RegisteredMessage(name), kAllow, TRUE});
        return calls;
    }
};

TEST_F(MessageFilterTest, ElevatedOnVistaAndLaterLetsItsThreeMessagesThrough) {
    struct Case {
        const char* windows;
        DWORD version;
        bool elevated;
        enum { None, Process, Window } filter;
    };
    const Case cases[] = {
        {"98", sim::Desktop::Version98(), true, Case::None},
        {"NT 4", sim::Desktop::VersionNt4(), true, Case::None},
        {"XP", sim::Desktop::VersionXp(), true, Case::None},
        {"Vista, not elevated", sim::Desktop::VersionVista(), false, Case::None},
        {"Vista, elevated: for the process", sim::Desktop::VersionVista(), true, Case::Process},
        {"7, not elevated", sim::Desktop::Version7(), false, Case::None},
        {"7, elevated: for the tray window", sim::Desktop::Version7(), true, Case::Window},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windows);
        desk.SetVersion(c.version);
        desk.SetElevated(c.elevated);
        library.Add("Wireless LAN Card");
        Start();
        ASSERT_NE(TrayWindow(), nullptr);
        const std::vector<sim::MessageFilterCall> expected =
            c.filter == Case::None ? std::vector<sim::MessageFilterCall>{}
                                   : Allowed(c.filter == Case::Window ? TrayWindow() : nullptr);
        EXPECT_EQ(desk.MessageFilterCalls(), expected);
        EXPECT_EQ(desk.OpenTokenHandles(), 0) << "the process token is closed again";
        Ticks(1);
        EXPECT_NE(TrayIcon(0), nullptr) << "the program runs on";
        StartOver();
    }
}

TEST_F(MessageFilterTest, NoElevationReadNoFilterChangedAndOneRefusalStopsNoOther) {
    struct Case {
        const char* failing;
        int skip;                   // calls that pass first
        std::vector<BOOL> results;  // of the three filter calls, none when the token is not read
    };
    const Case cases[] = {
        {"OpenProcessToken", 0, {}},
        {"GetTokenInformation", 0, {}},
        // After SetDllDirectoryA's, ChangeWindowMessageFilterEx's and
        // OpenProcessToken's: GetTokenInformation is not found.
        {"GetProcAddress", 3, {}},
        {"ChangeWindowMessageFilterEx", 0, {FALSE, TRUE, TRUE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        desk.SetVersion(sim::Desktop::Version7());
        desk.SetElevated(true);
        desk.FailCall(c.failing, 1, c.skip);
        Start();
        ASSERT_NE(TrayWindow(), nullptr);
        std::vector<BOOL> results;
        for (const sim::MessageFilterCall& call : desk.MessageFilterCalls()) results.push_back(call.result);
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(desk.OpenTokenHandles(), 0);
        StartOver();
    }
}

}  // namespace
