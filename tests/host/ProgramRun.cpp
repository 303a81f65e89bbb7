#include "ProgramRun.h"

#include "app/StatusTrayApp.h"
#include "resource.h"
#include "tray/TrayMessages.h"

#include <algorithm>
#include <cstdlib>

DesktopTest::DesktopTest()
    : desk(sim::Desktop::Get()), library(fake::DriverLibrary::Get()), applet(fake::ConfigApplet::Get()) {
    desk.Reset();
    library.Reset();
    applet.Reset();
}

DesktopTest::~DesktopTest() { StartOver(); }

void DesktopTest::StartOver() {
    processes.clear();
    desk.Reset();
    library.Reset();
    applet.Reset();
}

namespace {
// The application object of the process that started last, while it lives.
CStatusTrayApp* lastApp = nullptr;

struct AppRecord {
    explicit AppRecord(CStatusTrayApp& app) : app_(app) { lastApp = &app; }
    ~AppRecord() {
        if (lastApp == &app_) lastApp = nullptr;
    }
    CStatusTrayApp& app_;
};
}  // namespace

sim::Process& DesktopTest::Start(const std::string& arguments) {
    const std::string commandLine = "\"C:\\Program Files\\Quorvane\\ZEVARIDA.EXE\" " + arguments;
    processes.push_back(std::make_unique<sim::Process>([commandLine] {
        CStatusTrayApp app;
        AppRecord record(app);
        return RunProcess(app, commandLine.c_str());
    }));
    return *processes.back();
}

CStatusTrayApp* DesktopTest::LastApp() const { return lastApp; }

HWND DesktopTest::TrayWindow() const {
    for (const sim::WindowView& w : desk.TopLevelWindows())
        if (w.templateId == IDD_STATUS_TRAY) return w.handle;
    return nullptr;
}

void DesktopTest::Ticks(int count) { desk.Advance(1000 * count); }

void DesktopTest::Post(UINT message, WPARAM wParam, LPARAM lParam) { desk.Post(TrayWindow(), message, wParam, lParam); }

void DesktopTest::Mouse(WPARAM slot, LPARAM event) { Post(WM_TRAYICON, slot, event); }

void DesktopTest::Click(WPARAM slot, bool right) {
    Mouse(slot, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    Mouse(slot, right ? WM_RBUTTONUP : WM_LBUTTONUP);
}

std::string DesktopTest::OpenPopup() const { return desk.TrackedMenu() ? desk.TrackedMenu()->name : "none"; }

const sim::OpenMenu* DesktopTest::OpenMenu(WPARAM slot) {
    Click(slot);
    desk.Advance(500);
    return desk.TrackedMenu();
}

HWND DesktopTest::OpenDialog(UINT command, const std::string& title) {
    Post(WM_COMMAND, command, 0);
    sim::WindowView view;
    return desk.FindWindow(title, &view) ? view.handle : nullptr;
}

const sim::TrayIcon* DesktopTest::TrayIcon(UINT slot) const { return desk.FindTrayIcon(TrayWindow(), slot); }

int DesktopTest::IconImage(UINT slot) const {
    const sim::TrayIcon* icon = TrayIcon(slot);
    return icon ? desk.IconResource(icon->icon) : 0;
}

int DesktopTest::PostedCommands(UINT command) const {
    return CallsWith("PostMessageA(", ", 0x111, " + std::to_string(command) + ", 0)");
}

int DesktopTest::CallsWith(const std::string& prefix, const std::string& part) const {
    return static_cast<int>(std::count_if(desk.Calls().begin(), desk.Calls().end(), [&](const std::string& c) {
        return c.rfind(prefix, 0) == 0 && c.find(part) != std::string::npos;
    }));
}

unsigned long Setting(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 0) : fallback;
}
