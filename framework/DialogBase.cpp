#include "framework/DialogBase.h"

#include "framework/AppBase.h"
#include "framework/DataExchange.h"

#include <algorithm>

namespace {
// Notification codes of WM_COMMAND that mean "carry out the command": a menu
// item or button (0) and an accelerator (1).
bool IsCommandRequest(WPARAM wParam) { return HIWORD(wParam) <= 1; }

bool KeyHeld(int key) { return GetKeyState(key) < 0; }
}  // namespace

CDialogBase::CDialogBase(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent), window_(nullptr) {}

CDialogBase::~CDialogBase() = default;

INT_PTR CDialogBase::DoModal() {
    CAppBase* app = CAppBase::Current();
    HWND owner = parent_;
    // Without an explicit owner a dialog belongs to the main window.
    if (!owner && app && app->mainWindow && app->mainWindow != this) owner = app->mainWindow->Handle();
    if (app) app->openDialogs.push_back(this);
    INT_PTR result = DialogBoxParamA(app ? app->instance : nullptr, MAKEINTRESOURCEA(templateId_), owner,
                                     &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
    if (app) {
        auto& open = app->openDialogs;
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
    }
    window_ = nullptr;
    return result;
}

void CDialogBase::EndDialog(INT_PTR result) { ::EndDialog(window_, result); }

bool CDialogBase::UpdateData(bool saving) {
    CDataExchange exchange(window_, saving);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

BOOL CDialogBase::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialogBase::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialogBase::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK CDialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialogBase* self = reinterpret_cast<CDialogBase*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
        return self->OnInitDialog();
    }
    CDialogBase* self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    LRESULT result = 0;
    if (!self->Dispatch(message, wParam, lParam, result)) return FALSE;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool CDialogBase::Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam) const {
    switch (entry.kind) {
    case MapKind::Message: return entry.id == message;
    case MapKind::Command: return message == WM_COMMAND && IsCommandRequest(wParam) && entry.id == LOWORD(wParam);
    case MapKind::Registered: return message >= 0xC000 && entry.registered(*this) == message;
    case MapKind::End: break;
    }
    return false;
}

// The dialog's own map first; at its end, the map of its base, and so on up.
const MessageMapEntry* CDialogBase::Find(UINT message, WPARAM wParam) const {
    const MessageMapEntry* entry = MessageMap();
    while (entry) {
        if (entry->kind == MapKind::End)
            entry = entry->base();
        else if (Matches(*entry, message, wParam))
            return entry;
        else
            ++entry;
    }
    return nullptr;
}

bool CDialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (const MessageMapEntry* entry = Find(message, wParam)) {
        result = entry->handler(*this, wParam, lParam);
        return true;
    }
    return DispatchStandard(message, wParam, result);
}

// What every dialog of the program does unless its map says otherwise.
bool CDialogBase::DispatchStandard(UINT message, WPARAM wParam, LRESULT& result) {
    CAppBase* app = CAppBase::Current();
    switch (message) {
    case WM_COMMAND:
        if (!IsCommandRequest(wParam)) return false;
        if (LOWORD(wParam) == IDOK)
            OnOK();
        else if (LOWORD(wParam) == IDCANCEL)
            OnCancel();
        else
            return app && app->OnCommand(LOWORD(wParam));
        return true;
    case WM_HELP:
        // F1 without Shift, Ctrl or Alt asks the main window for help.
        if (!KeyHeld(VK_SHIFT) && !KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU) && app && app->mainWindow)
            SendMessageA(app->mainWindow->Handle(), WM_COMMAND, ID_HELP, 0);
        result = TRUE;
        return true;
    case WM_QUERY_HELP_CONTEXT: result = static_cast<LRESULT>(HELP_CONTEXT_DIALOG + templateId_); return true;
    default: return false;
    }
}
