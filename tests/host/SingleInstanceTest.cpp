// Start-up: one running instance, and what later starts with each command line
// do to it.
#include "ProgramRun.h"

#include "app/Broadcast.h"
#include "app/CommandLine.h"

#include "resource.h"

#include <algorithm>

namespace {

class SingleInstanceTest : public DesktopTest {
protected:
    // Starts a first instance and checks that it runs.
    void StartFirst(const std::string& arguments = "") {
        first = &Start(arguments);
        ASSERT_FALSE(first->Finished());
        ASSERT_NE(TrayWindow(), nullptr);
    }
    // How often the message was broadcast since the calls were last cleared, always without parameters.
    int Broadcasts(const std::string& name) const {
        int count = 0;
        for (const sim::BroadcastRecord& broadcast : desk.Broadcasts()) {
            if (broadcast.name != name) continue;
            EXPECT_EQ(broadcast.wParam, 0u);
            EXPECT_EQ(broadcast.lParam, 0);
            ++count;
        }
        return count;
    }
    sim::Process* first = nullptr;
};

TEST(CommandLineTest, ArgumentTextIsWhatFollowsTheProgramName) {
    struct Case {
        const char* commandLine;
        const char* arguments;
    };
    for (const Case& c :
         {Case{"\"C:\\A B\\Z.EXE\" STOP", "STOP"}, Case{"Z.EXE  \t START x", "START x"}, Case{"\"C:\\Z.EXE\"", ""},
          Case{"\"unterminated START", ""}, Case{"Z.EXE", ""}, Case{"", ""}}) {
        EXPECT_EQ(ArgumentText(c.commandLine), c.arguments) << c.commandLine;
    }
    EXPECT_EQ(ArgumentText(nullptr), "");
}

TEST_F(SingleInstanceTest, RegistersItsThreeMessagesInOrderAtStart) {
    StartFirst();
    const std::vector<std::string> expected = {"ZEVARIDA.EXE STOP", "ZEVARIDA.EXE START", "TaskbarCreated"};
    ASSERT_GE(desk.RegisteredMessages().size(), 3u);
    EXPECT_EQ(std::vector<std::string>(desk.RegisteredMessages().begin(), desk.RegisteredMessages().begin() + 3),
              expected);
}

TEST_F(SingleInstanceTest, FirstStartBecomesTheInstanceWithAHiddenWindow) {
    for (const char* arguments : {"", "START", "/START", "stop", "Hello"}) {
        SCOPED_TRACE(arguments);
        StartFirst(arguments);
        sim::WindowView window = desk.Window(TrayWindow());
        EXPECT_EQ(window.text, kTrayTitle);
        EXPECT_FALSE(window.visible);
        EXPECT_FALSE(window.enabled);
        EXPECT_EQ(desk.OpenMutexHandles(), 1);

        Post(WM_COMMAND, ID_EXIT, 0);
        EXPECT_TRUE(first->Finished());
        EXPECT_EQ(first->ExitCode(), 0);
        EXPECT_EQ(desk.OpenMutexHandles(), 0);
        processes.clear();
    }
}

TEST_F(SingleInstanceTest, FirstStartWithAStopWordEndsAtOnceAndSendsNothing) {
    for (const char* arguments : {"STOP", "REMOVE", "NONSTOP", "START STOP"}) {
        SCOPED_TRACE(arguments);
        desk.ClearCalls();
        sim::Process& process = Start(arguments);
        EXPECT_TRUE(process.Finished());
        EXPECT_EQ(process.ExitCode(), -1);
        EXPECT_TRUE(desk.TopLevelWindows().empty());
        EXPECT_EQ(desk.OpenMutexHandles(), 0);
        EXPECT_EQ(desk.HandlesLeftAtExit(), 0);  // closed by the program, not by its end
        EXPECT_TRUE(desk.Broadcasts().empty());
        EXPECT_EQ(desk.CountCalls("ReleaseMutex"), 1);
    }
}

TEST_F(SingleInstanceTest, LaterStartWithAStopWordEndsTheRunningInstance) {
    for (const char* arguments : {"STOP", "REMOVE", "NONSTOP", "START STOP", "/REMOVE now"}) {
        SCOPED_TRACE(arguments);
        StartFirst();
        HWND window = TrayWindow();
        sim::Process& second = Start(arguments);
        EXPECT_TRUE(second.Finished());
        EXPECT_EQ(second.ExitCode(), -1);
        EXPECT_EQ(Broadcasts("ZEVARIDA.EXE STOP"), 1);
        EXPECT_TRUE(first->Finished());
        EXPECT_FALSE(desk.WindowExists(window));
        EXPECT_EQ(desk.OpenMutexHandles(), 0);
        processes.clear();
        desk.ClearCalls();
    }
}

TEST_F(SingleInstanceTest, LaterStartsPassOverAWindowThatDoesNotAnswer) {
    // A window on top of the desktop stopped reading its messages: for 5 s or
    // more it counts as hung and is passed over at once; one that stopped a
    // moment ago holds the broadcast for the whole limit, and no longer.
    struct Case {
        const char* arguments;
        DWORD stoppedFor;
        DWORD held;
    };
    for (const Case& c : {Case{"STOP", 6000, 0}, Case{"STOP", 1000, BROADCAST_WAIT_MS}, Case{"", 6000, 0}}) {
        SCOPED_TRACE(testing::Message() << c.arguments << " " << c.stoppedFor);
        StartFirst();
        desk.AddHungWindow("Not Responding");
        desk.Advance(c.stoppedFor);
        sim::Process& second = Start(c.arguments);
        if (c.held) {
            desk.Advance(c.held - 1);
            EXPECT_FALSE(second.Finished());
            desk.Advance(1);
        }
        EXPECT_TRUE(second.Finished());
        if (*c.arguments)
            EXPECT_TRUE(first->Finished());
        else
            EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), 1);
        StartOver();
    }
}

TEST_F(SingleInstanceTest, LaterStartWithStartLeavesTheInstanceUndisturbed) {
    StartFirst();
    for (const char* arguments : {"START", "/START", "-START", "RESTART"}) {
        SCOPED_TRACE(arguments);
        desk.ClearCalls();
        sim::Process& second = Start(arguments);
        EXPECT_TRUE(second.Finished());
        EXPECT_EQ(second.ExitCode(), -1);
        EXPECT_TRUE(desk.Broadcasts().empty());
        EXPECT_FALSE(first->Finished());
        EXPECT_EQ(desk.HandlesLeftAtExit(), 0);  // it closed its handle of the mutex itself
    }
    EXPECT_EQ(desk.OpenMutexHandles(), 1);
}

TEST_F(SingleInstanceTest, LaterStartWithoutKeywordsAsksTheInstanceForTheConfigurationPage) {
    StartFirst();
    for (const char* arguments : {"", "stop", "INSTALL", "configure"}) {
        SCOPED_TRACE(arguments);
        desk.ClearCalls();
        sim::Process& second = Start(arguments);
        EXPECT_EQ(second.ExitCode(), -1);
        EXPECT_EQ(Broadcasts("ZEVARIDA.EXE START"), 1);
        EXPECT_EQ(Broadcasts("ZEVARIDA.EXE STOP"), 0);
        // The instance posts itself the advanced-configuration command.
        EXPECT_EQ(PostedCommands(ID_ADVANCED_CONFIGURATION), 1);
        EXPECT_FALSE(first->Finished());
    }
}

TEST_F(SingleInstanceTest, FailedMutexCreationCountsAsARunningInstance) {
    StartFirst();
    desk.ClearCalls();
    desk.FailCall("CreateMutexA");
    sim::Process& stopper = Start("STOP");
    EXPECT_EQ(stopper.ExitCode(), -1);
    EXPECT_EQ(Broadcasts("ZEVARIDA.EXE STOP"), 1);
    EXPECT_TRUE(first->Finished());
    // CloseHandle runs on the null handle too; nothing else is left open.
    EXPECT_EQ(desk.OpenMutexHandles(), 0);

    processes.clear();
    desk.FailCall("CreateMutexA");
    sim::Process& lonely = Start("");
    EXPECT_TRUE(lonely.Finished());
    EXPECT_EQ(lonely.ExitCode(), -1);
    EXPECT_EQ(TrayWindow(), nullptr);
}

TEST_F(SingleInstanceTest, NewInstanceCanStartOnceTheOldOneReleasedItsMutex) {
    StartFirst();
    Post(WM_COMMAND, ID_EXIT, 0);
    ASSERT_TRUE(first->Finished());
    sim::Process& next = Start("");
    EXPECT_FALSE(next.Finished());
    EXPECT_NE(TrayWindow(), nullptr);
}

std::string helpFileGiven;
int helpFlagGiven;

int WINAPI RecordHelpFile(const char* file, int flag) {
    helpFileGiven = file;
    helpFlagGiven = flag;
    return 1;
}

TEST_F(SingleInstanceTest, HandsTheHelpFileToTheContextHelpLibrary) {
    helpFileGiven.clear();
    helpFlagGiven = 0;
    desk.RegisterModule("TAVROCSH.DLL",
                        {{"CSHInitialize", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordHelpFile))}});
    StartFirst();
    EXPECT_EQ(helpFileGiven, "ZEVARIDA.hlp");
    EXPECT_EQ(helpFlagGiven, 1);
    EXPECT_EQ(desk.LoadedModules(), 1);
    Post(WM_COMMAND, ID_EXIT, 0);
    processes.clear();
    EXPECT_EQ(desk.LoadedModules(), 0);
}

TEST_F(SingleInstanceTest, RunsWithoutTheContextHelpLibrary) {
    StartFirst();
    EXPECT_EQ(desk.CountCalls("LoadLibraryA"), 3);  // looked for in three folders
    EXPECT_EQ(desk.LoadedModules(), 0);
}

}  // namespace
