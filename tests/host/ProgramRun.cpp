#include "ProgramRun.h"

#include "app/StatusTrayApp.h"
#include "resource.h"

DesktopTest::DesktopTest() : desk(sim::Desktop::Get()), library(fake::DriverLibrary::Get()) {
    desk.Reset();
    library.Reset();
}

DesktopTest::~DesktopTest() {
    processes.clear();
    desk.Reset();
    library.Reset();
}

sim::Process& DesktopTest::Start(const std::string& arguments) {
    const std::string commandLine = "\"C:\\Program Files\\Quorvane\\ZEVARIDA.EXE\" " + arguments;
    processes.push_back(std::make_unique<sim::Process>([commandLine] {
        CStatusTrayApp app;
        return RunProcess(app, commandLine.c_str());
    }));
    return *processes.back();
}

HWND DesktopTest::TrayWindow() const {
    for (const sim::WindowView& w : desk.TopLevelWindows())
        if (w.templateId == IDD_STATUS_TRAY) return w.handle;
    return nullptr;
}

void DesktopTest::Ticks(int count) { desk.Advance(1000 * count); }

void DesktopTest::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    desk.Post(TrayWindow(), message, wParam, lParam);
}
