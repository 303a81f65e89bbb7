// Windows, dialogs, messages, timers and input of the simulated desktop.
#include "State.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;

Window* Checked(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) SetError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

bool IsTopLevel(const Window& w) { return w.parent == nullptr || w.dialog; }

LRESULT DefaultDialogProcessing(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: PostMessageA(w.handle, WM_COMMAND, IDCANCEL, 0); return 0;
    case WM_HELP:
    case WM_CANCELMODE: return DefWindowProcA(w.handle, message, wParam, lParam);
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? w.bigIcon : w.smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    default: return 0;
    }
}

void RecordBroadcast(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!S().keepRecords) return;
    auto name = S().registeredNames.find(message);
    S().broadcasts.push_back(
        BroadcastRecord{message, name == S().registeredNames.end() ? "" : name->second, wParam, lParam});
}

// Delivers a message from another thread and waits until it was handled.
LRESULT SendAcrossThreads(Window& target, UINT message, WPARAM wParam, LPARAM lParam) {
    SendRequest request{target.handle, message, wParam, lParam, 0, false};
    target.thread->sends.push_back(&request);
    Process::Thread* self = CurrentThread();
    self->waitingFor = &request;
    MSG unused;
    NextMessage(
        unused, [&] { return request.done; }, nullptr);
    self->waitingFor = nullptr;
    return request.result;
}

}  // namespace

Window* FindWindowObject(HWND window) {
    auto it = S().windows.find(window);
    return it == S().windows.end() ? nullptr : it->second.get();
}

LRESULT CallWindow(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND handle = w.handle;
    if (!w.dialog) return w.wndProc ? w.wndProc(handle, message, wParam, lParam) : 0;
    if (!w.dialogProc) return 0;
    INT_PTR handled = w.dialogProc(handle, message, wParam, lParam);
    if (message == WM_INITDIALOG) return handled;
    Window* still = FindWindowObject(handle);
    if (!still) return 0;
    if (handled) return still->longs[0];
    return DefaultDialogProcessing(*still, message, wParam, lParam);
}

void DispatchToWindow(const MSG& message) {
    if (Window* w = FindWindowObject(message.hwnd)) CallWindow(*w, message.message, message.wParam, message.lParam);
}

void Activate(HWND window) {
    auto& s = S();
    if (s.activeWindow == window) return;
    HWND previous = s.activeWindow;
    s.activeWindow = window;
    if (Window* old = FindWindowObject(previous))
        SendMessageA(old->handle, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    if (Window* w = FindWindowObject(window))
        SendMessageA(w->handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

namespace {
void Forget(HWND window) {
    auto& s = S();
    s.windows.erase(window);
    s.windowOrder.erase(std::find(s.windowOrder.begin(), s.windowOrder.end(), window));
    if (s.activeWindow == window) s.activeWindow = nullptr;
    if (s.focus == window) s.focus = nullptr;
}
}  // namespace

// The window gets WM_DESTROY before its children, and WM_NCDESTROY after them.
void DestroyWindowObject(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) return;
    CallWindow(*w, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = ChildrenOf(window);
    for (HWND child : children)
        if (Window* c = FindWindowObject(child)) CallWindow(*c, WM_DESTROY, 0, 0);
    for (HWND child : children) {
        if (Window* c = FindWindowObject(child)) CallWindow(*c, WM_NCDESTROY, 0, 0);
        Forget(child);
    }
    if ((w = FindWindowObject(window))) CallWindow(*w, WM_NCDESTROY, 0, 0);
    Forget(window);
}

// ---------------------------------------------------------------- Desktop: windows

std::vector<WindowView> Desktop::TopLevelWindows() const {
    std::vector<WindowView> views;
    for (HWND h : state_->windowOrder)
        if (IsTopLevel(*state_->windows.at(h))) views.push_back(Window(h));
    return views;
}

bool Desktop::FindWindow(const std::string& title, WindowView* view) const {
    for (const WindowView& w : TopLevelWindows())
        if (w.text == title) {
            if (view) *view = w;
            return true;
        }
    return false;
}

WindowView Desktop::Window(HWND window) const {
    WindowView view;
    if (sim::Window* w = FindWindowObject(window)) {
        view.handle = w->handle;
        view.text = w->text;
        view.visible = w->visible;
        view.enabled = w->enabled;
        view.dialog = w->dialog;
        view.templateId = w->templateId;
        view.owner = w->dialog ? w->parent : nullptr;
        view.bigIcon = w->bigIcon;
        view.smallIcon = w->smallIcon;
    }
    return view;
}

std::ostream& operator<<(std::ostream& out, const MessageBoxRecord& box) {
    return out << "MessageBoxA(" << static_cast<void*>(box.owner) << ", \"" << box.text << "\", \"" << box.caption
               << "\", 0x" << std::hex << box.type << std::dec << ")";
}

const std::vector<BroadcastRecord>& Desktop::Broadcasts() const { return state_->broadcasts; }

bool Desktop::WindowExists(HWND window) const { return FindWindowObject(window) != nullptr; }

void Desktop::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(window, message, wParam, lParam);
    Settle();
}

LRESULT Desktop::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sim::Window* w = FindWindowObject(window);
    if (!w) return 0;
    // The request outlives this call when the handler is still running (a
    // nested loop waits for the user); the desktop keeps it until reset.
    state_->outsideSends.push_back(
        std::make_unique<SendRequest>(SendRequest{window, message, wParam, lParam, 0, false}));
    SendRequest* request = state_->outsideSends.back().get();
    w->thread->sends.push_back(request);
    Settle();
    return request->result;
}

void Desktop::PressKey(HWND window, int key) {
    PostMessageA(window, WM_KEYDOWN, key, 0);
    Settle();
}

}  // namespace sim

using namespace sim;

// ---------------------------------------------------------------- registered messages

UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
    auto& s = S();
    Trace("RegisterWindowMessageA", "\"%s\"", name ? name : "");
    if (!name || !*name || Fails("RegisterWindowMessageA")) return 0;
    s.registrations.push_back(name);
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    auto it = s.registered.find(key);
    if (it != s.registered.end()) return it->second;
    UINT id = kFirstRegisteredMessage + static_cast<UINT>(s.registered.size());
    s.registered[key] = id;
    s.registeredNames[id] = name;
    return id;
}

// ---------------------------------------------------------------- sending and posting

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        Trace("SendMessageA", "HWND_BROADCAST, 0x%X, %u, %ld", message, wParam, lParam);
        RecordBroadcast(message, wParam, lParam);
        std::vector<HWND> targets;
        for (HWND h : S().windowOrder)
            if (IsTopLevel(*S().windows.at(h))) targets.push_back(h);
        for (HWND h : targets) SendMessageA(h, message, wParam, lParam);
        return 1;
    }
    if (!CurrentThread()) return Desktop::Get().Send(window, message, wParam, lParam);
    Called("SendMessageA");
    Window* w = Checked(window);
    if (!w) return 0;
    if (w->thread == CurrentThread()) return CallWindow(*w, message, wParam, lParam);
    return SendAcrossThreads(*w, message, wParam, lParam);
}

// A window counts as hung once it has not read its messages for this long.
constexpr DWORD kHungAfterMs = 5000;
constexpr DWORD kErrorTimeout = 1460;

HWND Desktop::AddHungWindow(const std::string& title) {
    auto& s = *state_;
    auto w = std::make_unique<sim::Window>();
    HWND handle = s.NewHandle<HWND>();
    w->handle = handle;
    w->thread = &s.hungThread;
    w->text = title;
    w->visible = true;
    w->hungSince = s.now;
    s.windows[handle] = std::move(w);
    // On top of the others: a broadcast reaches windows in z-order.
    s.windowOrder.insert(s.windowOrder.begin(), handle);
    return handle;
}

// Sends to one window but waits no more than `timeout`; a window that counts
// as hung is passed over at once with SMTO_ABORTIFHUNG. False when the
// window did not answer.
bool SendWithTimeout(Window& w, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout, LRESULT* result) {
    auto& s = S();
    if (w.thread != &s.hungThread) {
        *result = w.thread == CurrentThread() ? CallWindow(w, message, wParam, lParam)
                                              : SendAcrossThreads(w, message, wParam, lParam);
        return true;
    }
    if ((flags & SMTO_ABORTIFHUNG) && s.now - w.hungSince >= kHungAfterMs) return false;
    // A window that stopped a moment ago still costs the whole limit.
    Process::Thread* self = CurrentThread();
    SendRequest never{w.handle, message, wParam, lParam, 0, false};
    const DWORD until = s.now + timeout;
    const DWORD outer = self->wakeAt;
    self->waitingFor = &never;
    self->wakeAt = until;
    MSG unused;
    while (s.now < until)
        NextMessage(
            unused, [&] { return s.now >= until; }, nullptr);
    self->waitingFor = nullptr;
    self->wakeAt = outer;
    return false;
}

LRESULT WINAPI SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                                   PDWORD_PTR answer) {
    auto& s = S();
    LRESULT result = 0;
    if (window == HWND_BROADCAST) {
        Trace("SendMessageTimeoutA", "HWND_BROADCAST, 0x%X, %u, %ld, 0x%X, %u", message, wParam, lParam, flags,
              timeout);
        RecordBroadcast(message, wParam, lParam);
        std::vector<HWND> targets;
        for (HWND h : s.windowOrder)
            if (IsTopLevel(*s.windows.at(h))) targets.push_back(h);
        for (HWND h : targets)
            if (Window* w = FindWindowObject(h)) SendWithTimeout(*w, message, wParam, lParam, flags, timeout, &result);
        if (answer) *answer = 0;
        return 1;
    }
    Called("SendMessageTimeoutA");
    Window* w = Checked(window);
    if (!w) return 0;
    if (!SendWithTimeout(*w, message, wParam, lParam, flags, timeout, &result)) {
        SetError(kErrorTimeout);
        return 0;
    }
    if (answer) *answer = static_cast<DWORD_PTR>(result);
    return 1;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& s = S();
    if (window == HWND_BROADCAST) {
        RecordBroadcast(message, wParam, lParam);
        for (HWND h : s.windowOrder)
            if (IsTopLevel(*s.windows.at(h))) PostMessageA(h, message, wParam, lParam);
        return TRUE;
    }
    Trace("PostMessageA", "%p, 0x%X, %u, %ld", (void*)window, message, wParam, lParam);
    Window* w = Checked(window);
    if (!w || Fails("PostMessageA")) return FALSE;
    w->thread->posted.push_back(MSG{window, message, wParam, lParam, s.now, s.cursor});
    return TRUE;
}

// ---------------------------------------------------------------- dialogs

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND parent, DLGPROC dialogProc, LPARAM initParam) {
    auto& s = S();
    const int id = static_cast<int>(reinterpret_cast<uintptr_t>(templateName));
    Trace("DialogBoxParamA", "%d, %p", id, (void*)parent);
    const auto& dialogs = Desktop::Get().Resources().dialogs;
    auto found = dialogs.find(id);
    if (found == dialogs.end() || s.hidden.count({ResourceKind::Dialog, id}) || Fails("DialogBoxParamA")) {
        SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    const RcDialog& dialog = found->second;
    auto w = std::make_unique<Window>();
    HWND handle = s.NewHandle<HWND>();
    w->handle = handle;
    w->thread = CurrentThread();
    w->parent = parent;
    w->dialog = true;
    w->className = "#32770";
    w->templateId = id;
    w->dialogProc = dialogProc;
    w->text = dialog.caption;
    w->visible = (dialog.style & 0x10000000) != 0;  // WS_VISIBLE
    w->enabled = (dialog.style & 0x08000000) == 0;  // WS_DISABLED
    w->longs[1] = static_cast<LONG>(reinterpret_cast<uintptr_t>(dialogProc));
    s.windows[handle] = std::move(w);
    s.windowOrder.push_back(handle);
    CreateControls(*FindWindowObject(handle), dialog);

    const bool ownerWasEnabled = parent && EnableWindow(parent, FALSE) == 0;
    // A dialog that answers TRUE gets the focus on its first tab stop.
    HWND firstStop = FirstTabStop(handle);
    if (CallWindow(*FindWindowObject(handle), WM_INITDIALOG, reinterpret_cast<WPARAM>(firstStop), initParam) &&
        firstStop)
        DialogSetFocus(firstStop);

    auto ended = [handle] {
        Window* d = FindWindowObject(handle);
        return !d || d->ended;
    };
    // The modal loop shows the dialog once, when its queue first runs empty.
    auto onIdle = [handle] {
        Window* d = FindWindowObject(handle);
        if (!d || d->shown) return false;
        d->shown = true;
        ShowWindow(handle, SW_SHOWNORMAL);
        return true;
    };
    // The dialog manager: Tab, Enter, Escape and F1.
    auto keys = [handle](const MSG& m) { return DialogKey(handle, m); };
    RunModalLoop(ended, onIdle, keys);

    Window* d = FindWindowObject(handle);
    INT_PTR result = d ? d->result : 0;
    DestroyWindowObject(handle);
    if (ownerWasEnabled) EnableWindow(parent, TRUE);
    return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    Trace("EndDialog", "%p, %d", (void*)dialog, result);
    Window* w = Checked(dialog);
    if (!w) return FALSE;
    w->ended = true;
    w->result = result;
    w->visible = false;
    return TRUE;
}

// The window's own values (negative indexes) and a dialog's three longs.
static LONG* WindowLong(Window& w, int index) {
    switch (index) {
    case GWL_USERDATA: return &w.userData;
    case GWL_ID: return reinterpret_cast<LONG*>(&w.id);
    case GWL_STYLE: return reinterpret_cast<LONG*>(&w.style);
    case GWL_WNDPROC: return w.dialog ? nullptr : reinterpret_cast<LONG*>(&w.wndProc);
    default: return w.dialog && index >= 0 && index <= 8 && index % 4 == 0 ? &w.longs[index / 4] : nullptr;
    }
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    Called("GetWindowLongA");
    Window* w = Checked(window);
    LONG* value = w ? WindowLong(*w, index) : nullptr;
    return value ? *value : 0;
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    Called("SetWindowLongA");
    Window* w = Checked(window);
    LONG* slot = w ? WindowLong(*w, index) : nullptr;
    if (!slot) return 0;
    LONG previous = *slot;
    *slot = value;
    return previous;
}

// ---------------------------------------------------------------- window state

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Trace("EnableWindow", "%p, %d", (void*)window, enable);
    Window* w = Checked(window);
    if (!w) return FALSE;
    BOOL wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Trace("ShowWindow", "%p, %d", (void*)window, command);
    Window* w = Checked(window);
    if (!w) return FALSE;
    BOOL wasVisible = w->visible;
    bool show = command != SW_HIDE;
    if (show != w->visible) {
        w->visible = show;
        SendMessageA(window, WM_SHOWWINDOW, show, 0);
    }
    if (show && (command == SW_SHOWNORMAL || command == SW_SHOW)) Activate(window);
    return wasVisible;
}

BOOL WINAPI IsWindow(HWND window) {
    Called("IsWindow");
    return FindWindowObject(window) != nullptr;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    Trace("SetWindowTextA", "%p, \"%s\"", (void*)window, text ? text : "");
    Window* w = Checked(window);
    if (!w || Fails("SetWindowTextA")) return FALSE;
    if (!w->dialog) return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
    w->text = text ? text : "";
    return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    // Fails, for one, while another process holds the foreground.
    if (TraceFails("SetForegroundWindow", "%p", (void*)window) || !Checked(window)) return FALSE;
    Activate(window);
    return TRUE;
}

// ---------------------------------------------------------------- timers

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC) {
    Trace("SetTimer", "%p, 0x%X, %u", (void*)window, id, elapse);
    Window* w = Checked(window);
    if (!w || Fails("SetTimer")) return 0;
    w->timers[id] = Timer{elapse, S().now + std::max<UINT>(elapse, 1)};
    return id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    Trace("KillTimer", "%p, 0x%X", (void*)window, id);
    Window* w = Checked(window);
    if (!w) return FALSE;
    return w->timers.erase(id) ? TRUE : FALSE;
}

// ---------------------------------------------------------------- input and feedback

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (TraceFails("GetCursorPos") || !point) return FALSE;
    *point = S().cursor;
    return TRUE;
}

SHORT WINAPI GetAsyncKeyState(int key) {
    Trace("GetAsyncKeyState", "0x%X", key);
    return S().keysDown.count(key) ? static_cast<SHORT>(0x8000) : 0;
}

// The icon sizes follow the screen's DPI as on Windows Vista and later for
// a DPI-aware program: 16 x 16 small icons at 96 DPI, 20 at 120, 24 at 144,
// rounded as MulDiv rounds.
int WINAPI GetSystemMetrics(int index) {
    if (TraceFails("GetSystemMetrics", "%d", index)) return 0;
    const int dpi = S().dpi;
    auto MulDiv = [](int pixels, int to, int from) { return (pixels * to + from / 2) / from; };
    switch (index) {
    case SM_CXSCREEN: return S().screenWidth;
    case SM_CYSCREEN: return S().screenHeight;
    case SM_CXICON:
    case SM_CYICON: return MulDiv(32, dpi, 96);
    case SM_CXSMICON:
    case SM_CYSMICON: return MulDiv(16, dpi, 96);
    default: return 0;
    }
}

BOOL WINAPI MessageBeep(UINT type) {
    if (TraceFails("MessageBeep", "0x%X", type)) return FALSE;
    if (S().keepRecords) S().beeps.push_back(type);
    return TRUE;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // Fails without showing anything when there is not memory enough for the box.
    if (TraceFails("MessageBoxA", "%p, \"%s\"", (void*)owner, text ? text : "")) return 0;
    if (S().keepRecords)
        S().messageBoxes.push_back(MessageBoxRecord{owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}
