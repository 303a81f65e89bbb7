// Installation: a first-run page naming the files beside the program and
// whether each is there, whether the program starts at logon (the Run value,
// only read), and what to do next.
#include "Pages.h"
#include "resource.h"

namespace {

struct ProductFile {
    const char* name;
    const char* role;
};
const ProductFile kFiles[] = {
    {"ZEVARIDA.EXE", "The tray program: the adapters' state in the notification area"},
    {"TavroApi.DLL", "The driver-interface library: simulated or real adapters"},
    {"TAVROCFG.CPL", "This configuration applet"},
    {"TAVROCSH.DLL", "Context help of the program's dialogs"},
};
const int kColumns = 3;

void ShowFiles(HWND page) {
    HWND list = GetDlgItem(page, IDC_FILE_LIST);
    static const char* const kNames[kColumns] = {"File", "Present", "What it is"};
    AddColumns(list, kNames, kColumns);
    const std::string folder = ProgramFolder();
    for (const ProductFile& file : kFiles) {
        const bool present = GetFileAttributesA((folder + file.name).c_str()) != INVALID_FILE_ATTRIBUTES;
        const char* texts[kColumns] = {file.name, present ? "Yes" : "No", file.role};
        AddRow(list, texts, kColumns, 0);
    }
    FitColumns(list);
}

// The command of the Run value "ZEVARIDA.EXE" for all users; "" when there is none.
std::string RunCommand() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_QUERY_VALUE, &key))
        return "";
    char command[MAX_PATH * 2] = "";
    DWORD size = sizeof command - 1, type = 0;
    const LONG result = RegQueryValueExA(key, "ZEVARIDA.EXE", nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) ? command : "";
}

void ShowInstallation(HWND page) {
    ShowFiles(page);
    const std::string command = RunCommand();
    SetText(page, IDC_RUN_AT_LOGON, command.empty() ? "No: there is no Run value \"ZEVARIDA.EXE\" for all users."
                                                    : "Yes: " + command);
    SetText(page, IDC_NEXT_STEPS,
            "1. Check on the Status page that the adapter is found and connected.\r\n"
            "2. Look for the networks in range on the Site Survey page and connect to yours.\r\n"
            "3. Put the networks you use in order on the Advanced Configuration page.\r\n"
            "4. To start the program at logon, install it with its installer, which adds the Run value.");
}

INT_PTR CALLBACK InstallPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    PageContext(page, message, lParam);
    if (message == WM_INITDIALOG) {
        ShowInstallation(page);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kInstallPage = {IDD_INSTALL, "Installation", InstallPageProc};
