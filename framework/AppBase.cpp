#include "framework/AppBase.h"

#include "framework/DialogBase.h"

namespace {
thread_local CAppBase* currentApp = nullptr;
}

CAppBase::CAppBase() : instance(GetModuleHandleA(nullptr)), mainWindow(nullptr) { currentApp = this; }

CAppBase::~CAppBase() {
    if (currentApp == this) currentApp = nullptr;
}

CAppBase* CAppBase::Current() { return currentApp; }

std::string CAppBase::ApplicationName() const {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    std::string name(path, length < MAX_PATH ? length : MAX_PATH);
    std::string::size_type slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

HWND CAppBase::FrontWindow() const {
    if (!openDialogs.empty() && openDialogs.back()->Handle()) return openDialogs.back()->Handle();
    return mainWindow ? mainWindow->Handle() : nullptr;
}
