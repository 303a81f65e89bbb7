// A seeded random walk through everything the program meets: tray events on
// any slot, ticks, every command and unknown ones, the messages of other
// processes and the shell, adapters coming, going and changing, answers to
// whatever menu, dialog or applet is open, and a failure injected into any
// call. After every step the invariants hold. RANDOM_WALK_SEED and
// RANDOM_WALK_STEPS choose the walk; a failure names the seed and the step.
//
// Every Win32 function and driver-library method the program calls is listed
// here, either as one the walk makes fail or with the reason it cannot fail;
// the walk fails when the program calls one the lists lack, or when one of
// them was never made to fail.
#include "ProgramRun.h"

#include "app/StatusTrayApp.h"
#include "resource.h"
#include "tray/StatusTrayDlg.h"
#include "tray/TrayMessages.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

namespace {

int WINAPI AcceptHelpFile(const char*, int) { return 1; }

// The Win32 calls a step may make fail once, the way the real ones fail.
const char* const kFailingCalls[] = {
    "Shell_NotifyIconA", "SetTimer",       "PostMessageA",       "GetCursorPos",        "LoadLibraryA",
    "GetProcAddress",    "RegOpenKeyExA",  "RegQueryValueExA",   "RegCreateKeyExA",     "RegSetValueExA",
    "RegDeleteValueA",   "OpenSCManagerA", "OpenServiceA",       "QueryServiceStatus",  "DialogBoxParamA",
    "WinHelpA",          "SetWindowTextA", "GetModuleFileNameA", "TrackPopupMenu",      "SetForegroundWindow",
    "LoadStringA",       "MessageBoxA",    "MessageBeep",        "CreateMutexA",        "RegisterWindowMessageA",
    "LoadIconA",         "LoadImageA",     "LoadMenuA",          "GetSystemDirectoryA", "GetWindowsDirectoryA"};
// Those among them that run while the program starts.
const char* const kStartingCalls[] = {"CreateMutexA", "RegisterWindowMessageA", "LoadIconA", "LoadImageA", "LoadMenuA",
                                      "SetTimer",     "Shell_NotifyIconA"};
// The Win32 calls that have no failure of their own, or fail only for a
// handle, window, item or argument the program does not hold (the open-handle
// counts after every step show it passes only its own): why, and which.
const std::pair<const char*, const char*> kCallsThatCannotFail[] = {
    {"the answer is another procedure's, or a previous state",
     "CallWindowProcA DefWindowProcA SendMessageA EnableWindow ShowWindow"},
    {"a broadcast's answer is not used; a failure leaves the library search as the program found it, and the "
     "libraries are loaded by full path all the same",
     "SendMessageTimeoutA SetDllDirectoryA"},
    {"a state or a test, no failure value",
     "GetAsyncKeyState GetKeyState IsCharAlphaA IsCharAlphaNumericA IsDBCSLeadByte IsDlgButtonChecked IsWindow"},
    {"null means no window has it", "GetCapture GetFocus"},
    {"cannot fail (GetModuleHandleA: for the program's own module)",
     "GetVersion GetACP GetLastError SetLastError GetModuleHandleA"},
    {"fails only for a window, control, index or menu item that does not exist (SetFocus: or of another thread)",
     "GetParent GetLastActivePopup EnumChildWindows GetDlgItem CheckDlgButton GetWindowTextA GetWindowTextLengthA "
     "GetWindowLongA SetWindowLongA SetFocus GetSubMenu EnableMenuItem CheckMenuRadioItem GetSystemMetrics"},
    {"fails only for a handle, module, icon, menu, timer or dialog that is not there, or a mutex not owned",
     "CloseHandle ReleaseMutex CloseServiceHandle RegCloseKey FreeLibrary DestroyIcon DestroyMenu KillTimer EndDialog"},
};
// The driver-library methods a step may make fail once: 1 back, nothing written.
// The first eight are the status queries.
const char* const kFailingMethods[] = {"GetRadioState",
                                       "GetNetworkType",
                                       "GetAdapterState",
                                       "GetLinkQuality",
                                       "GetDot11Rate",
                                       "GetWEPPacketRxOK",
                                       "GetDot11NetworkTypeInUse",
                                       "GetGenDriverVersion",
                                       "Refresh",
                                       "Item",
                                       "Attach",
                                       "GetVendorDescription",
                                       "GetAdapterID",
                                       "CWrapNetAdapter::SetRadioState",
                                       "CWrapDriverInterface::SetRadioState"};
const unsigned kStatusQueries = 8;
const UINT kCommands[] = {32768, 32769, 32770, 32771, 32772, 32773, 32774, 32775, 32776, 32777, 32778, 32779,
                          32780, 32781, 32782, 32783, 32784, 33024, 57670, 0,     1,     2,     40000, 65535};
const LPARAM kTrayEvents[] = {WM_LBUTTONDOWN,
                              WM_LBUTTONUP,
                              WM_LBUTTONDBLCLK,
                              WM_RBUTTONDOWN,
                              WM_RBUTTONUP,
                              WM_RBUTTONDBLCLK,
                              WM_MOUSEMOVE,
                              TRAY_CLICKED,
                              TRAY_HELD,
                              0,
                              0x7FFF};
const WPARAM kSlots[] = {0, 1, 2, 3, 0, 1, 4, 7, 0xFFFFFFFF, 0x7FFFFFFF};
const int kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_F1};
const int kButtons[] = {IDOK, IDCANCEL, IDC_REMOVE_PERMANENTLY};
const unsigned long kArmedSteps = 200;
// A walk this long (the default) must have made every listed call fail.
const unsigned long kCompleteWalkSteps = 1000000;

class RandomWalkTest : public DesktopTest {
protected:
    static std::string HelpLibrary() { return std::string(sim::Desktop::SystemFolder()) + "\\TAVROCSH.DLL"; }
    const unsigned long seed = Setting("RANDOM_WALK_SEED", 20261208);
    const unsigned long steps = Setting("RANDOM_WALK_STEPS", 1000000);
    std::mt19937 random{static_cast<std::mt19937::result_type>(seed)};
    unsigned long step = 0;
    sim::Process* program = nullptr;
    HWND tray = nullptr;
    // The calls and methods that fail once within the next steps, and the step they are disarmed at.
    std::map<std::string, unsigned long> armed;
    // What the walk met, for its report.
    std::map<std::string, unsigned long> seen;

    unsigned Below(unsigned bound) { return std::uniform_int_distribution<unsigned>(0, bound - 1)(random); }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }
    std::string Where() const {
        std::ostringstream text;
        text << "seed " << seed << " step " << step;
        return text.str();
    }

    CStatusTrayDlg* Tray() const {
        CStatusTrayApp* app = LastApp();
        return app ? static_cast<CStatusTrayDlg*>(app->mainWindow) : nullptr;
    }
    // The dialog opened last that still shows, or null. One that ended waits
    // for the loops opened after it to return.
    HWND OpenDialog() const {
        HWND front = nullptr;
        for (const sim::WindowView& w : desk.TopLevelWindows())
            if (w.dialog && w.visible && w.templateId != IDD_STATUS_TRAY) front = w.handle;
        return front;
    }
    bool HandlerRunning() const { return desk.TrackedMenu() || OpenDialog() || applet.IsOpen(); }

    void StartProgram() {
        DisarmAll();
        if (Below(4) == 0) {
            // A call fails while the program starts: it runs on, or ends and leaves nothing.
            const char* call = Pick(kStartingCalls);
            desk.FailCall(call, 1, Below(2));
            program = &Start();
            desk.FailCall(call, 0);
            if (!program->Finished()) {
                tray = DesktopTest::TrayWindow();
                ASSERT_NE(tray, nullptr) << Where() << ": running without a tray window after " << call << " failed";
                return;
            }
            ++seen["starts ended by a failing call"];
            ExpectEndedProgramLeftNothing();
            processes.clear();
        }
        program = &Start(Below(8) == 0 ? "CONFIGURE INSTALL" : "");
        tray = DesktopTest::TrayWindow();
        ASSERT_NE(tray, nullptr) << Where();
    }

    void ExpectEndedProgramLeftNothing() {
        // Only a delete the shell refused leaves its icon.
        for (const auto& [key, icon] : desk.TrayIcons()) {
            ASSERT_TRUE(icon.deleteRefused) << Where() << ": icon " << key.second << " left by the ended program";
            ++seen["icons left after a refused delete"];
        }
        desk.RestartShell();
        ASSERT_EQ(desk.OpenMutexHandles(), 0) << Where();
        ASSERT_EQ(desk.HandlesLeftAtExit(), 0) << Where();
    }

    // The listed calls and methods no failure has reached yet.
    std::vector<std::string> NeverFailed() const {
        std::vector<std::string> pending;
        for (const char* call : kFailingCalls)
            if (!desk.FunctionsFailed().count(call)) pending.push_back(call);
        for (const char* method : kFailingMethods)
            if (!library.methodsFailed.count(method)) pending.push_back(method);
        return pending;
    }
    // Half the time one that was never made to fail yet, so that a shorter walk reaches all.
    std::string PickFailure() {
        const std::vector<std::string> pending = NeverFailed();
        if (!pending.empty() && Below(2)) return pending[Below(static_cast<unsigned>(pending.size()))];
        const unsigned calls = std::size(kFailingCalls);
        const unsigned pick = Below(calls + std::size(kFailingMethods));
        return pick < calls ? kFailingCalls[pick] : kFailingMethods[pick - calls];
    }
    static bool IsMethod(const std::string& name) {
        return std::find(std::begin(kFailingMethods), std::end(kFailingMethods), name) != std::end(kFailingMethods);
    }
    // Arms (times 1) or disarms (times 0) one failure; a Win32 call may pass a few times first.
    void SetFailing(const std::string& name, int times) {
        if (IsMethod(name))
            library.FailCall(name, times);
        else
            desk.FailCall(name, times, times ? Below(3) : 0);
    }
    void DisarmAll() {
        for (const auto& [name, until] : armed) SetFailing(name, 0);
        armed.clear();
    }

    // Every call the program made is listed, and every failing one was made to
    // fail. A walk shorter than the one CI runs only reports what it missed.
    void CheckEveryCallFailedOnce() {
        std::set<std::string> listed(std::begin(kFailingCalls), std::end(kFailingCalls));
        for (const auto& [reason, calls] : kCallsThatCannotFail) {
            std::istringstream names(calls);
            for (std::string name; names >> name;) listed.insert(name);
        }
        const size_t cannotFail = listed.size() - std::size(kFailingCalls);
        for (const std::string& call : desk.FunctionsCalled())
            EXPECT_TRUE(listed.count(call)) << call << " is called but neither made to fail nor said why it cannot";
        for (const std::string& method : library.methodsCalled)
            EXPECT_TRUE(IsMethod(method)) << method << " is called but never made to fail";
        const std::vector<std::string> neverFailed = NeverFailed();
        std::printf(
            "made to fail: %zu Win32 functions, %zu library methods; %zu functions that cannot fail;"
            " never failed: %zu\n",
            desk.FunctionsFailed().size(), library.methodsFailed.size(), cannotFail, neverFailed.size());
        for (const std::string& name : neverFailed) {
            std::printf("  %s never failed\n", name.c_str());
            if (steps >= kCompleteWalkSteps) ADD_FAILURE() << name << " never failed in " << steps << " steps";
        }
    }

    void ChangeAdapters() {
        auto& items = library.items;
        switch (Below(4)) {
        case 0:
            if (items.size() < 8) library.Add("Adapter " + std::to_string(step)).attachOk = Below(5) != 0;
            break;
        case 1:
            if (!items.empty()) items.pop_back();
            break;
        default:
            if (items.empty()) break;
            fake::FakeAdapter& a = items[Below(static_cast<unsigned>(items.size()))];
            a.radio = Below(4);
            a.networkType = Below(4);
            a.adapterState = Below(5);
            a.linkQuality = Below(10) ? Below(16) : static_cast<unsigned long>(random());
            a.rate = Below(2000);
            a.wepPacketRxOk = Below(3);
            a.networkTypeInUse = Below(3);
            a.driverVersion = Below(2) ? 0x0501 : Below(0x10000);
            a.failingQueries.clear();
            if (Below(4) == 0) a.failingQueries.insert(kFailingMethods[Below(kStatusQueries)]);
        }
    }

    // Loops nest in any order (a dialog opened from the menu's loop, the applet
    // from a dialog's, ...): the user answers any one of what is open.
    void AnswerWhatIsOpen() {
        const sim::OpenMenu* menu = desk.TrackedMenu();
        HWND dialog = OpenDialog();
        std::vector<int> open;
        if (menu) open.push_back(0);
        if (dialog) open.push_back(1);
        if (applet.IsOpen()) open.push_back(2);
        if (open.empty()) return;
        switch (open[Below(static_cast<unsigned>(open.size()))]) {
        case 0:
            ++seen["menus answered"];
            AnswerMenu(*menu);
            break;
        case 1:
            ++seen["dialogs answered"];
            AnswerDialog(dialog);
            break;
        default: ++seen["applet closings asked"]; applet.Close();
        }
    }

    void AnswerMenu(const sim::OpenMenu& menu) {
        std::vector<UINT> ids;
        for (const sim::MenuItemView& item : menu.items)
            if (!item.separator && !item.grayed && !item.popup) ids.push_back(item.id);
        if (ids.empty() || Below(3) == 0)
            desk.DismissMenu();
        else
            desk.ChooseMenuItem(ids[Below(static_cast<unsigned>(ids.size()))]);
    }

    void AnswerDialog(HWND dialog) {
        switch (Below(5)) {
        case 0:
            if (HWND button = desk.DialogControl(dialog, Pick(kButtons))) desk.Click(button);
            break;
        case 1: desk.PressKey(desk.Focus() ? desk.Focus() : dialog, Pick(kKeys)); break;
        case 2:
            if (desk.Focus()) desk.Type(desk.Focus(), std::string(1 + Below(4), static_cast<char>(Below(256))));
            break;
        case 3:
            if (desk.Focus()) desk.Paste(desk.Focus(), std::string(Below(40), static_cast<char>(32 + Below(96))));
            break;
        default: desk.Send(dialog, WM_CLOSE, 0, 0);
        }
    }

    void RunStep() {
        RunAction();
        for (auto it = armed.begin(); it != armed.end();) {
            if (step < it->second) {
                ++it;
            } else {
                SetFailing(it->first, 0);
                it = armed.erase(it);
            }
        }
    }

    void RunAction() {
        const unsigned kind = Below(100);
        if (kind < 30) {
            desk.Post(tray, WM_TRAYICON, Pick(kSlots), Pick(kTrayEvents));
        } else if (kind < 55) {
            desk.Advance(Below(1500));
        } else if (kind < 65) {
            desk.Post(tray, WM_COMMAND, Pick(kCommands), 0);
        } else if (kind < 72) {
            ChangeAdapters();
        } else if (kind < 90) {
            AnswerWhatIsOpen();
        } else if (kind < 95) {
            // Armed for some steps only, so that a failure cannot wait for a much later one.
            ++seen["failures injected"];
            const std::string name = PickFailure();
            if (armed.emplace(name, step + kArmedSteps).second) SetFailing(name, 1);
        } else if (kind < 97) {
            desk.Post(tray, desk.RegisteredMessage(Below(2) ? "ZEVARIDA.EXE START" : "TaskbarCreated"), 0, 0);
        } else if (kind < 98) {
            desk.RestartShell();
        } else {
            desk.Post(tray, desk.RegisteredMessage("ZEVARIDA.EXE STOP"), 0, 0);
        }
    }

    void CheckInvariants() {
        int icons = 0;
        for (const auto& [key, icon] : desk.TrayIcons()) {
            if (key.first != tray) continue;
            ++icons;
            ASSERT_LT(key.second, 4u) << Where() << ": an icon with id " << key.second;
        }
        ASSERT_LE(icons, 4) << Where();
        ASSERT_EQ(desk.HandlesLeftAtExit(), 0) << Where();
        // The images and the menu are loaded once per window, never again.
        ASSERT_LE(desk.OpenIcons(), 10) << Where();
        ASSERT_LE(desk.OpenMenus(), 5) << Where();
        if (HandlerRunning()) return;
        ASSERT_EQ(desk.OpenRegistryKeys(), 0) << Where();
        ASSERT_EQ(desk.OpenServiceHandles(), 0) << Where();
        ASSERT_EQ(desk.LoadedModules(), desk.ModuleLoads(HelpLibrary())) << Where() << ": a module left loaded";
        ASSERT_EQ(desk.ModuleLoads(std::string(sim::Desktop::CurrentFolder()) + "\\TAVRONDI.DLL"), 0) << Where();
        CStatusTrayDlg* window = Tray();
        ASSERT_NE(window, nullptr) << Where();
        ASSERT_TRUE(window->AtRest()) << Where() << ": a re-entry guard still raised";
        for (int i = 0; i < SLOT_COUNT; ++i) {
            const AdapterSlot& slot = window->AdapterSlots().Slot(i);
            ASSERT_TRUE(!slot.iconShown || slot.present) << Where() << ": an icon shown for an empty slot";
        }
    }
};

TEST_F(RandomWalkTest, InvariantsHoldAfterEveryStep) {
    // The help library in the system folder and the applet in the Windows
    // folder, so that every load looks in more than the program's folder.
    desk.RegisterModule(HelpLibrary(),
                        {{"CSHInitialize", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&AcceptHelpFile))}});
    applet.Install(std::string(sim::Desktop::WindowsFolder()) + "\\TAVROCFG.CPL");
    // Libraries planted where anyone can write, and a program on the desktop
    // that stopped answering: neither may reach or hold the program.
    applet.Install(std::string(sim::Desktop::CurrentFolder()) + "\\TAVRONDI.DLL");
    desk.RegisterModule(std::string(sim::Desktop::PathFolder()) + "\\TAVROCSH.DLL", {});
    desk.AddHungWindow("Not Responding");
    desk.Advance(5000);
    desk.SetService("WZCSVC", SERVICE_RUNNING);
    library.Add("Adapter A");
    library.Add("Adapter B");
    StartProgram();
    for (step = 0; step < steps; ++step) {
        RunStep();
        if (program->Finished()) {
            ExpectEndedProgramLeftNothing();
            if (HasFatalFailure()) return;
            processes.clear();
            ++seen["programs ended and started again"];
            StartProgram();
        }
        CheckInvariants();
        if (step % 1000 == 0) {
            desk.ClearRecords();
            library.calls.clear();
        }
        if (HasFatalFailure()) return;
    }
    seen["virtual seconds"] = desk.Now() / 1000;
    seen["applet calls"] = applet.calls.size();
    std::printf("random walk, seed %lu, %lu steps:", seed, steps);
    for (const auto& [what, count] : seen) std::printf(" %s %lu;", what.c_str(), count);
    std::printf("\n");
    CheckEveryCallFailedOnce();
}

}  // namespace
