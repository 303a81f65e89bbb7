// "&Remove Status Icon...": the icon goes until the next logon, or for good.
// The program starts at logon through one value of the machine's Run key,
// which this command reads, writes and deletes; nothing else touches it.
#include "tray/StatusTrayDlg.h"

#include "adapter/Registry.h"
#include "dialogs/RemoveIconDlg.h"
#include "framework/AppBase.h"

#include <string>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "ZEVARIDA.EXE";

bool AutorunRegistered() {
    char data[REGISTRY_TEXT_SIZE];
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, data);
}

// The running executable in quotes, then the argument of a start at logon.
// False when the system cannot give the executable's path whole: a path that
// fills the buffer comes back cut, and a cut path may name another file.
bool AutorunCommand(std::string& command) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(CAppBase::Current()->instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    command = "\"" + std::string(path, length) + "\" /START";
    return true;
}

// Without the executable's whole path nothing is written.
void WriteAutorun() {
    std::string command;
    if (AutorunCommand(command)) WriteRegistryString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, command.c_str());
}

void DeleteAutorun() {
    if (HKEY key = CreateRegistryKeyPath(HKEY_LOCAL_MACHINE, kRunKey)) {
        RegDeleteValueA(key, kRunValue);
        RegCloseKey(key);
    }
}

}  // namespace

void CStatusTrayDlg::OnRemoveStatusIcon() {
    if (BringOwnDialogForward()) return;
    CRemoveIconDlg dialog;
    // Ticked exactly when the program is not registered to start at logon.
    dialog.removePermanently = AutorunRegistered() ? FALSE : TRUE;
    // A dialog that cannot be created (-1) counts as "&No".
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK && dialog.removePermanently)
        DeleteAutorun();
    else
        WriteAutorun();
    if (result == IDOK) Shutdown();
}
