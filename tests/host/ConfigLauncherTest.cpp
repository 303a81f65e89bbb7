// The configuration applet launcher: which page each command and command-line
// word opens, for which adapter, from which library, and what a request does
// while the applet is open.
#include "ProgramRun.h"

#include "resource.h"
#include "tray/TrayMessages.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

using fake::ConfigureCall;

class ConfigLauncherTest : public DesktopTest {
protected:
    void SetUp() override {
        library.Add("Adapter One");
        library.Add("Adapter Two");
    }
    std::string Id(int item) const { return library.items[item].id; }
    ConfigureCall Call(const std::string& keyword, int item = 0, const char* file = "TAVROCFG.CPL") const {
        return ConfigureCall{file, 3, {"", Id(item), keyword}, 0};
    }
    // The calls on windows from the first call that contains `from` to the next that starts with `to`.
    std::vector<std::string> WindowCallsBetween(const std::string& from, const std::string& to) const {
        const auto& calls = desk.Calls();
        auto begin = std::find_if(calls.begin(), calls.end(),
                                  [&](const std::string& c) { return c.find(from) != std::string::npos; });
        auto end = std::find_if(begin, calls.end(), [&](const std::string& c) { return c.rfind(to, 0) == 0; });
        std::vector<std::string> windowCalls;
        std::copy_if(begin, end, std::back_inserter(windowCalls),
                     [](const std::string& c) { return c.find("Window(") != std::string::npos; });
        return windowCalls;
    }
    std::vector<std::string> WindowCallsAroundConfigure() const {
        return WindowCallsBetween("\"Configure\"", "FreeLibrary");
    }
    std::vector<std::string> WindowCallsBefore(const std::string& to) const { return WindowCallsBetween("", to); }
    std::string OnTray(const char* call, const char* rest = "") const {
        char text[64];
        std::snprintf(text, sizeof text, "%s(%p%s)", call, (void*)TrayWindow(), rest);
        return text;
    }
};

TEST_F(ConfigLauncherTest, EachPageCommandOpensItsPageForTheAdapterOfTheLastIcon) {
    applet.Install();
    Start();
    Ticks(1);
    struct Case {
        UINT command;
        const char* keyword;
    };
    for (const Case& c : {Case{ID_ADVANCED_CONFIGURATION, "CONFIGURE"}, Case{ID_NETWORK_STATUS, "STATUS"},
                          Case{ID_VERSION_INFORMATION, "ABOUT"}, Case{ID_WEP_ENCRYPTION, "WEP"},
                          Case{ID_SITE_SURVEY, "TEST"}, Case{ID_SECURITY, "SECURITY"}}) {
        SCOPED_TRACE(c.keyword);
        applet.calls.clear();
        desk.ClearCalls();
        Post(WM_COMMAND, c.command, 0);
        // Before any tray event the adapter is slot 0's.
        ASSERT_EQ(applet.calls, std::vector<ConfigureCall>{Call(c.keyword)});
        EXPECT_EQ(desk.ModuleLoads("TAVROCFG.CPL"), 1);
        EXPECT_TRUE(desk.Window(TrayWindow()).enabled);
        applet.Close();
        EXPECT_EQ(desk.LoadedModules(), 0);
        EXPECT_FALSE(desk.Window(TrayWindow()).visible);
        EXPECT_FALSE(desk.Window(TrayWindow()).enabled);
        EXPECT_EQ(WindowCallsAroundConfigure(),
                  (std::vector<std::string>{OnTray("SetForegroundWindow"), OnTray("EnableWindow", ", 1"),
                                            OnTray("ShowWindow", ", 5"), OnTray("EnableWindow", ", 0"),
                                            OnTray("ShowWindow", ", 0")}));
        EXPECT_EQ(CallsWith("ShowWindow(", ", 5)"), 1);
    }
    // The menu item and the double click on the second icon.
    OpenMenu(1);
    desk.ChooseMenuItem(ID_VERSION_INFORMATION);
    EXPECT_EQ(applet.calls.back(), Call("ABOUT", 1));
    applet.Close();
    Mouse(1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(applet.calls.back(), Call("STATUS", 1));
    applet.Close();
}

TEST_F(ConfigLauncherTest, CommandLineWordsOpenTheAppletOnTheFirstTick) {
    applet.Install();
    struct Case {
        const char* arguments;
        const char* first;
    };
    for (const Case& c : {Case{"CONFIGURE", "CONFIGURE"}, Case{"INSTALL", "INSTALL"},
                          Case{"CONFIGURE INSTALL", "INSTALL"}, Case{"/START INSTALL", "INSTALL"}}) {
        SCOPED_TRACE(c.arguments);
        Start(c.arguments);
        desk.Advance(999);
        EXPECT_TRUE(applet.calls.empty());
        desk.Advance(1);
        ASSERT_EQ(applet.calls, std::vector<ConfigureCall>{Call(c.first)});
        applet.Close();
        // "INSTALL" is served once: then each command opens its own page.
        Post(WM_COMMAND, ID_ADVANCED_CONFIGURATION, 0);
        applet.Close();
        Post(WM_COMMAND, ID_SITE_SURVEY, 0);
        applet.Close();
        EXPECT_EQ(applet.calls, (std::vector<ConfigureCall>{Call(c.first), Call("CONFIGURE"), Call("TEST")}));
        processes.clear();
        applet.calls.clear();
    }
    // A later start asks the running instance for the applet.
    Start();
    Start();
    EXPECT_EQ(applet.calls, std::vector<ConfigureCall>{Call("CONFIGURE")});
    applet.Close();
}

TEST_F(ConfigLauncherTest, RequestWhileOpenBringsTheAppletForwardAndIsDropped) {
    applet.Install();
    // A hung window on the desktop does not hold the request, nor the poll.
    desk.AddHungWindow("Not Responding");
    desk.Advance(5000);
    Start();
    Ticks(1);
    Post(WM_COMMAND, ID_NETWORK_STATUS, 0);
    desk.ClearCalls();
    Post(WM_COMMAND, ID_ADVANCED_CONFIGURATION, 0);
    EXPECT_EQ(applet.calls.size(), 1u);
    EXPECT_EQ(desk.CountCalls("LoadLibraryA"), 0);
    EXPECT_EQ(WindowCallsBefore("SendMessageTimeoutA(HWND_BROADCAST"),
              (std::vector<std::string>{OnTray("SetForegroundWindow"), OnTray("EnableWindow", ", 1")}));
    ASSERT_EQ(desk.Broadcasts().size(), 1u);
    EXPECT_EQ(desk.Broadcasts()[0].name, "TAVROCFG.CPL POPUP");
    EXPECT_EQ(desk.Broadcasts()[0].wParam, 0u);
    EXPECT_EQ(desk.Broadcasts()[0].lParam, 0);
    EXPECT_TRUE(desk.Window(TrayWindow()).enabled);
    // The poll goes on while the applet is open.
    library.items[0].linkQuality = 0;
    Ticks(1);
    EXPECT_EQ(IconImage(0), IDI_NOT_LINKED);
    applet.Close();
    // The request that met the open applet does not outrank a newer one.
    Post(WM_COMMAND, ID_SECURITY, 0);
    EXPECT_EQ(applet.calls.back(), Call("SECURITY"));
    applet.Close();
}

TEST_F(ConfigLauncherTest, LibrariesAreTriedInOrderAndFreedAfterEveryLaunch) {
    // Without either library nothing happens, each time, and "INSTALL" waits.
    Start("INSTALL");
    Ticks(1);
    Post(WM_COMMAND, ID_VERSION_INFORMATION, 0);
    EXPECT_EQ(desk.CountCalls("LoadLibraryA"), 3 * (1 + 2 * 2));  // each name in three folders
    EXPECT_EQ(desk.CountCalls("SetForegroundWindow"), 0);
    // The second name serves when the first is missing.
    applet.Install("TAVRONDI.DLL");
    Post(WM_COMMAND, ID_VERSION_INFORMATION, 0);
    EXPECT_EQ(applet.calls, std::vector<ConfigureCall>{Call("INSTALL", 0, "TAVRONDI.DLL")});
    applet.Close();
    EXPECT_EQ(desk.LoadedModules(), 0);
    // A first library without the export is freed, and the second is not tried.
    applet.Install("TAVROCFG.CPL", false);
    desk.ClearCalls();
    Post(WM_COMMAND, ID_VERSION_INFORMATION, 0);
    EXPECT_EQ(applet.calls.size(), 1u);
    EXPECT_EQ(CallsWith("LoadLibraryA(", ""), 1);
    EXPECT_EQ(desk.CountCalls("FreeLibrary"), 1);
    EXPECT_EQ(desk.LoadedModules(), 0);
}

int WINAPI AcceptHelpFile(const char*, int) { return 1; }

TEST_F(ConfigLauncherTest, LibrariesComeFromTheProgramTheSystemOrTheWindowsFolderOnly) {
    // A library anyone could have put in the current folder or on PATH is
    // never loaded, whether or not the system can take the current folder
    // out of the search (Windows 98 cannot), nor when the program's own path
    // cannot be had; one in the system or Windows folder is, and one beside
    // the program goes before all.
    struct Case {
        DWORD version;
        std::string folder;
        bool loads;
        bool noProgramPath = false;
    };
    const Case cases[] = {
        {sim::Desktop::VersionXp(), sim::Desktop::CurrentFolder(), false},
        {sim::Desktop::Version98(), sim::Desktop::CurrentFolder(), false},
        {sim::Desktop::VersionNt4(), sim::Desktop::PathFolder(), false},
        {sim::Desktop::Version98(), sim::Desktop::CurrentFolder(), false, true},
        {sim::Desktop::VersionXp(), sim::Desktop::SystemFolder(), true},
        {sim::Desktop::Version98(), sim::Desktop::WindowsFolder(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        desk.SetVersion(c.version);
        if (c.noProgramPath) desk.FailCall("GetModuleFileNameA", -1);
        applet.Install(c.folder + "\\TAVRONDI.DLL");
        desk.RegisterModule(
            c.folder + "\\TAVROCSH.DLL",
            {{"CSHInitialize", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&AcceptHelpFile))}});
        Start();
        EXPECT_EQ(desk.CountCalls("SetDllDirectoryA"), c.version == sim::Desktop::VersionXp() ? 1 : 0);
        EXPECT_EQ(desk.ModuleLoads(c.folder + "\\TAVROCSH.DLL"), c.loads ? 1 : 0);
        Post(WM_COMMAND, ID_SECURITY, 0);
        EXPECT_EQ(applet.calls.size(), c.loads ? 1u : 0u);
        if (c.loads) applet.Close();
        if (c.noProgramPath) {
            StartOver();
            continue;
        }
        applet.Install("TAVRONDI.DLL");
        Post(WM_COMMAND, ID_SECURITY, 0);
        EXPECT_EQ(desk.ModuleLoads("TAVRONDI.DLL"), 1);
        EXPECT_EQ(desk.ModuleLoads(c.folder + "\\TAVRONDI.DLL"), 0);
        applet.Close();
        StartOver();
    }
}

TEST_F(ConfigLauncherTest, IdentifierComesFromTheSlotOfTheLastTrayEvent) {
    // An identifier that fills the library's buffer is cut at its last byte.
    library.items[1].id = std::string(300, 'L');
    applet.Install();
    Start();
    Ticks(1);
    // A slot without an adapter gives what its object left: nothing.
    Mouse(2, WM_MOUSEMOVE);
    Post(WM_COMMAND, ID_SECURITY, 0);
    EXPECT_EQ(applet.calls.back(), (ConfigureCall{"TAVROCFG.CPL", 3, {"", "", "SECURITY"}, 0}));
    EXPECT_EQ(library.CountCalls("GetAdapterID(-1)"), 1);
    applet.Close();
    // An event for an icon the program does not have changes no slot.
    Mouse(1, WM_MOUSEMOVE);
    Mouse(7, WM_MOUSEMOVE);
    Post(WM_COMMAND, ID_SECURITY, 0);
    EXPECT_EQ(applet.calls.back(), (ConfigureCall{"TAVROCFG.CPL", 3, {"", std::string(259, 'L'), "SECURITY"}, 0}));
    applet.Close();
}

TEST_F(ConfigLauncherTest, StopWhileTheAppletIsOpenEndsOnceItCloses) {
    applet.Install();
    sim::Process& program = Start();
    Ticks(1);
    Post(WM_COMMAND, ID_VERSION_INFORMATION, 0);
    desk.Send(TrayWindow(), desk.RegisteredMessage("ZEVARIDA.EXE STOP"), 0, 0);
    EXPECT_TRUE(desk.TrayIcons().empty());
    EXPECT_FALSE(program.Finished());
    applet.Close();
    EXPECT_TRUE(program.Finished());
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(desk.LoadedModules(), 0);
}

}  // namespace
