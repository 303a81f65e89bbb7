// The shell's notification area of the simulated desktop.
#include "State.h"

#include <cstring>

namespace sim {

namespace {

constexpr DWORD kSmallRecord = 88;   // the original record, 64-byte tip
constexpr DWORD kLargeRecord = 488;  // the record with a 128-byte tip

bool AllZero(const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        if (bytes[i]) return false;
    return true;
}

size_t TipField(const NOTIFYICONDATAA& data) { return data.cbSize >= kLargeRecord ? 128 : 64; }

// The tip as the shell reads it: up to its terminator inside the field, or
// the field but its last byte when there is none.
size_t TipLength(const NOTIFYICONDATAA& data) {
    const void* end = std::memchr(data.szTip, 0, TipField(data));
    return end ? static_cast<size_t>(static_cast<const char*>(end) - data.szTip) : TipField(data) - 1;
}

// Reads the record the way the shell does: only the bytes that cbSize covers.
TrayCall ReadRecord(DWORD message, const NOTIFYICONDATAA& data) {
    TrayCall call;
    call.message = message;
    call.size = data.cbSize;
    call.window = data.hWnd;
    call.id = data.uID;
    call.flags = data.uFlags;
    call.callbackMessage = data.uCallbackMessage;
    call.icon = data.hIcon;
    call.tipTerminated = std::memchr(data.szTip, 0, TipField(data)) != nullptr;
    call.tip.assign(data.szTip, TipLength(data));
    if (data.cbSize >= kLargeRecord) {
        const char* from = reinterpret_cast<const char*>(&data.dwState);
        call.otherFieldsZero = AllZero(from, kLargeRecord - offsetof(NOTIFYICONDATAA, dwState));
    }
    return call;
}

// What an add or a modify sets: the members its flags name.
void SetMembers(TrayIcon& icon, const NOTIFYICONDATAA& data) {
    if (data.uFlags & NIF_MESSAGE) icon.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON) icon.icon = data.hIcon;
    if (data.uFlags & NIF_TIP) icon.tip.assign(data.szTip, TipLength(data));
}

}  // namespace

void Desktop::SetShellReady(bool ready) { state_->shellReady = ready; }

void Desktop::RestartShell() {
    state_->trayIcons.clear();
    state_->shellReady = true;
}

void Desktop::RefuseDuplicateAdds(bool refuse) { state_->refuseDuplicates = refuse; }

const std::map<std::pair<HWND, UINT>, TrayIcon>& Desktop::TrayIcons() const { return state_->trayIcons; }

const TrayIcon* Desktop::FindTrayIcon(HWND window, UINT id) const {
    auto it = state_->trayIcons.find({window, id});
    return it == state_->trayIcons.end() ? nullptr : &it->second;
}

const std::vector<TrayCall>& Desktop::TrayCalls() const { return state_->trayCalls; }
void Desktop::ClearTrayCalls() { state_->trayCalls.clear(); }

}  // namespace sim

using namespace sim;

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
    auto& s = S();
    Trace("Shell_NotifyIconA", "%lu, %p, %u", message, data ? (void*)data->hWnd : nullptr, data ? data->uID : 0);
    if (!data) return FALSE;
    const bool validSize = data->cbSize == kSmallRecord || data->cbSize == kLargeRecord;
    const auto key = std::make_pair(data->hWnd, data->uID);
    auto existing = s.trayIcons.find(key);
    BOOL ok = FALSE;
    if (validSize && s.shellReady && !Fails("Shell_NotifyIconA")) {
        switch (message) {
        case NIM_ADD:
            if ((existing == s.trayIcons.end() || !s.refuseDuplicates) && IsWindow(data->hWnd)) {
                TrayIcon& icon = s.trayIcons[key] = TrayIcon{};
                icon.window = data->hWnd;
                icon.id = data->uID;
                SetMembers(icon, *data);
                ok = TRUE;
            }
            break;
        case NIM_MODIFY:
            if (existing != s.trayIcons.end()) {
                SetMembers(existing->second, *data);
                ok = TRUE;
            }
            break;
        case NIM_DELETE:
            if (existing != s.trayIcons.end()) {
                s.trayIcons.erase(existing);
                ok = TRUE;
            }
            break;
        default: break;
        }
    }
    if (message == NIM_DELETE && !ok && existing != s.trayIcons.end()) existing->second.deleteRefused = true;
    if (s.keepRecords) {
        TrayCall call = ReadRecord(message, *data);
        call.result = ok;
        s.trayCalls.push_back(call);
    }
    return ok;
}
