// Installation: a first-run page naming the files beside the program and
// whether each is there, whether the program starts at logon (the Run
// value, only read, in words), and the steps still to do.
#include "InstallSteps.h"
#include "Pages.h"
#include "resource.h"

namespace {

struct ProductFile {
    const char* name;
    const char* role;
};
const ProductFile kFiles[] = {
    {"ZEVARIDA.EXE", "The tray program: the adapters' state in the notification area"},
    {"TavroApi.DLL", "Reads the wireless adapters (simulated or real) for the program"},
    {"TAVROCFG.CPL", "This configuration applet"},
    {"TAVROCSH.DLL", "Help for the program's dialogs"},
};
const int kColumns = 3;

// Lists the files; true when one is missing.
bool ShowFiles(HWND page) {
    HWND list = GetDlgItem(page, IDC_FILE_LIST);
    static const char* const kNames[kColumns] = {"File", "Present", "What it is"};
    AddColumns(list, kNames, kColumns);
    const std::string folder = ProgramFolder();
    bool missing = false;
    for (const ProductFile& file : kFiles) {
        const bool present = GetFileAttributesA((folder + file.name).c_str()) != INVALID_FILE_ATTRIBUTES;
        missing = missing || !present;
        AddRow(list, {Widen(file.name), Widen(present ? "Yes" : "No"), Widen(file.role)}, 0);
    }
    FitColumns(list);
    return missing;
}

// The command of the Run value "ZEVARIDA.EXE" for all users; "" when there is none.
std::string RunCommand() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_QUERY_VALUE,
                      &key))
        return "";
    char command[MAX_PATH * 2] = "";
    DWORD size = sizeof command - 1, type = 0;
    const LONG result = RegQueryValueExA(key, "ZEVARIDA.EXE", nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) ? command : "";
}

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length && length < MAX_PATH ? path : "";
}

void ShowInstallation(HWND page, const AppletContext& context) {
    InstallState state;
    state.filesMissing = ShowFiles(page);
    state.adapterFound = !context.adapter.adapterId.empty();
    TAVRONET_LINK link;
    state.connected = context.data->GetLink(&link) == 0 && link.state == TAVRONET_STATE_CONNECTED;
    state.run = RunAtLogonOf(RunCommand(), ProgramPath());
    SetText(page, IDC_RUN_AT_LOGON, RunAtLogonWords(state.run));
    SetText(page, IDC_NEXT_STEPS, StepsToDo(state));
}

INT_PTR CALLBACK InstallPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    if (message == WM_INITDIALOG) {
        ShowInstallation(page, *context);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kInstallPage = {IDD_INSTALL, "Installation", InstallPageProc};
