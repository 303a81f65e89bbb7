#include "framework/DialogBase.h"

#include "framework/AppBase.h"

#include <algorithm>

namespace {
// Notification codes of WM_COMMAND that mean "carry out the command": a menu
// item or button (0) and an accelerator (1).
bool IsCommandRequest(WPARAM wParam) { return HIWORD(wParam) <= 1; }
}  // namespace

CDialogBase::CDialogBase(UINT templateId, HWND parent)
    : templateId_(templateId), parent_(parent), window_(nullptr) {}

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

void CDialogBase::OnOK() { EndDialog(IDOK); }

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

const MessageMapEntry* CDialogBase::Find(UINT message, WPARAM wParam) const {
    const MessageMapEntry* entry = MessageMap();
    for (; entry && entry->kind != MapKind::End; ++entry) {
        switch (entry->kind) {
        case MapKind::Message:
            if (entry->id == message) return entry;
            break;
        case MapKind::Command:
            if (message == WM_COMMAND && IsCommandRequest(wParam) && entry->id == LOWORD(wParam)) return entry;
            break;
        case MapKind::Registered:
            if (message >= 0xC000 && entry->registered() == message) return entry;
            break;
        case MapKind::End:
            break;
        }
    }
    return nullptr;
}

bool CDialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (const MessageMapEntry* entry = Find(message, wParam)) {
        result = entry->handler(*this, wParam, lParam);
        return true;
    }
    if (message == WM_COMMAND && IsCommandRequest(wParam)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return false;
}
