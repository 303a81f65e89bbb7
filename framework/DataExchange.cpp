#include "framework/DataExchange.h"

#include "framework/AppBase.h"

#include <vector>

namespace {
const UINT kTextTooLong = 61716;  // "Please enter no more than %1 characters."
}

HWND CDataExchange::Control(int id, bool edit) {
    lastControl_ = GetDlgItem(dialog_, id);
    lastIsEdit_ = edit;
    return lastControl_;
}

void CDataExchange::Text(int id, std::string& value, int limit) {
    if (failed_) return;
    HWND edit = Control(id, true);
    if (!saving_) {
        SetWindowTextA(edit, value.c_str());
        if (limit > 0) SendMessageA(edit, EM_LIMITTEXT, limit, 0);
        return;
    }
    std::vector<char> text(GetWindowTextLengthA(edit) + 1, 0);
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    value = text.data();
    if (limit > 0 && value.size() > static_cast<size_t>(limit))
        Fail(id, FormatArgument(LoadText(kTextTooLong), std::to_string(limit)));
}

void CDataExchange::Check(int id, BOOL& value) {
    if (failed_) return;
    Control(id, false);
    if (saving_)
        value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? TRUE : FALSE;
    else
        CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void CDataExchange::Fail(int id, const std::string& message) {
    AppMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
    HWND control = GetDlgItem(dialog_, id);
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
    failed_ = true;
}

std::string LoadText(UINT id) {
    char text[256] = {};
    LoadStringA(CAppBase::Current()->instance, id, text, sizeof text);
    return text;
}

std::string FormatArgument(const std::string& text, const std::string& value) {
    std::string result = text;
    const std::string::size_type at = result.find("%1");
    if (at != std::string::npos) result.replace(at, 2, value);
    return result;
}
