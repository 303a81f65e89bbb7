// A seeded random walk through everything the program meets: tray events on
// any slot, ticks, every command and unknown ones, the messages of other
// processes and the shell, adapters coming, going and changing, answers to
// whatever menu, dialog or applet is open, and a failure injected into any
// call. After every step the invariants hold. RANDOM_WALK_SEED and
// RANDOM_WALK_STEPS choose the walk; a failure names the seed and the step.
#include "ProgramRun.h"

#include "app/StatusTrayApp.h"
#include "resource.h"
#include "tray/StatusTrayDlg.h"
#include "tray/TrayMessages.h"

#include <cstdlib>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>

namespace {

unsigned long Setting(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 0) : fallback;
}

int WINAPI AcceptHelpFile(const char*, int) { return 1; }

// The calls a step may make fail once.
const char* const kFailingCalls[] = {
    "Shell_NotifyIconA", "SetTimer",        "PostMessageA",     "GetCursorPos",       "LoadLibraryA",
    "RegOpenKeyExA",     "RegQueryValueExA", "RegCreateKeyExA", "RegSetValueExA",     "RegDeleteValueA",
    "OpenSCManagerA",    "OpenServiceA",    "QueryServiceStatus", "DialogBoxParamA",  "WinHelpA",
    "SetWindowTextA",    "GetModuleFileNameA"};
const char* const kFailingQueries[] = {"GetRadioState",   "GetNetworkType",          "GetAdapterState",
                                       "GetLinkQuality",  "GetDot11Rate",            "GetWEPPacketRxOK",
                                       "GetDot11NetworkTypeInUse", "GetGenDriverVersion"};
const UINT kCommands[] = {32768, 32769, 32770, 32771, 32772, 32773, 32774, 32775, 32776, 32777, 32778,
                          32779, 32780, 32781, 32782, 32783, 32784, 33024, 57670, 0, 1, 2, 40000, 65535};
const LPARAM kTrayEvents[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                              WM_RBUTTONDBLCLK, WM_MOUSEMOVE, TRAY_CLICKED, TRAY_HELD, 0, 0x7FFF};
const WPARAM kSlots[] = {0, 1, 2, 3, 0, 1, 4, 7, 0xFFFFFFFF, 0x7FFFFFFF};
const int kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_F1};
const int kButtons[] = {IDOK, IDCANCEL, IDC_REMOVE_PERMANENTLY};

class RandomWalkTest : public DesktopTest {
protected:
    const unsigned long seed = Setting("RANDOM_WALK_SEED", 20261208);
    const unsigned long steps = Setting("RANDOM_WALK_STEPS", 1000000);
    std::mt19937 random{static_cast<std::mt19937::result_type>(seed)};
    unsigned long step = 0;
    sim::Process* program = nullptr;
    HWND tray = nullptr;
    std::string armed;  // the call that fails in the next step
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
        for (const char* call : kFailingCalls) desk.FailCall(call, 0);  // a tray window that cannot be made ends at once
        program = &Start(Below(8) == 0 ? "CONFIGURE INSTALL" : "");
        tray = DesktopTest::TrayWindow();
        ASSERT_NE(tray, nullptr) << Where();
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
            if (Below(4) == 0) a.failingQueries.insert(Pick(kFailingQueries));
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
        default:
            ++seen["applet closings asked"];
            applet.Close();
        }
    }

    void AnswerMenu(const sim::OpenMenu& menu) {
        std::vector<UINT> ids;
        for (const sim::MenuItemView& item : menu.items)
            if (!item.separator && !item.grayed && !item.popup) ids.push_back(item.id);
        if (ids.empty() || Below(3) == 0) desk.DismissMenu();
        else desk.ChooseMenuItem(ids[Below(static_cast<unsigned>(ids.size()))]);
    }

    void AnswerDialog(HWND dialog) {
        switch (Below(5)) {
        case 0:
            if (HWND button = desk.DialogControl(dialog, Pick(kButtons))) desk.Click(button);
            break;
        case 1:
            desk.PressKey(desk.Focus() ? desk.Focus() : dialog, Pick(kKeys));
            break;
        case 2:
            if (desk.Focus()) desk.Type(desk.Focus(), std::string(1 + Below(4), static_cast<char>(Below(256))));
            break;
        case 3:
            if (desk.Focus()) desk.Paste(desk.Focus(), std::string(Below(40), static_cast<char>(32 + Below(96))));
            break;
        default:
            desk.Send(dialog, WM_CLOSE, 0, 0);
        }
    }

    void RunStep() {
        const std::string disarm = armed;
        armed.clear();
        RunAction();
        if (!disarm.empty()) desk.FailCall(disarm, 0);
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
            // Armed for the next step only, so that a failure cannot wait for a later one.
            ++seen["failures injected"];
            armed = Pick(kFailingCalls);
            desk.FailCall(armed, 1, Below(3));
            return;
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
        ASSERT_EQ(desk.LoadedModules(), desk.ModuleLoads("TAVROCSH.DLL")) << Where() << ": a module left loaded";
        CStatusTrayDlg* window = Tray();
        ASSERT_NE(window, nullptr) << Where();
        ASSERT_EQ(window->menuOpen, FALSE) << Where();
        ASSERT_EQ(window->launcherDepth, 0) << Where();
        ASSERT_FALSE(LastApp()->tray.timerBusy) << Where();
        for (const AdapterSlot& slot : window->slots)
            ASSERT_TRUE(!slot.iconShown || slot.present) << Where() << ": an icon shown for an empty slot";
    }
};

TEST_F(RandomWalkTest, InvariantsHoldAfterEveryStep) {
    desk.RegisterModule("TAVROCSH.DLL", {{"CSHInitialize", reinterpret_cast<FARPROC>(
                                                               reinterpret_cast<void (*)()>(&AcceptHelpFile))}});
    applet.Install();
    desk.SetService("WZCSVC", SERVICE_RUNNING);
    library.Add("Adapter A");
    library.Add("Adapter B");
    StartProgram();
    for (step = 0; step < steps; ++step) {
        RunStep();
        if (program->Finished()) {
            // Only a delete the shell refused leaves its icon.
            for (const auto& [key, icon] : desk.TrayIcons()) {
                ASSERT_TRUE(icon.deleteRefused) << Where() << ": icon " << key.second << " left by the ended program";
                ++seen["icons left after a refused delete"];
            }
            desk.RestartShell();
            ASSERT_EQ(desk.OpenMutexHandles(), 0) << Where();
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
}

}  // namespace
