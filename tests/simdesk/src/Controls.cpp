// Dialog controls of the simulated desktop: edits, buttons, statics and combo
// boxes made from the dialog templates, each with the window procedure of its
// class, which a program may subclass; keyboard focus; the dialog manager's
// Tab, Enter, Escape and F1; and the help viewer.
#include "State.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim {

namespace {

// What a user can type into an edit: 32,767 characters until EM_LIMITTEXT
// says otherwise; EM_LIMITTEXT 0 lifts the limit to the most a single-line
// edit holds (NT).
constexpr size_t kEditDefaultLimit = 32767;
constexpr size_t kEditMaximum = 0x7FFFFFFE;
constexpr DWORD kErrorControlIdNotFound = 1421;

bool IsEdit(const Window& w) { return w.className == "Edit"; }

// Text messages every class answers the same way.
bool TextMessage(Window& w, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SETTEXT:
        if (w.className == "ComboBox") return false;  // a drop-down list has no text of its own
        w.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        w.selStart = w.selEnd = 0;
        result = TRUE;
        return true;
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0) {
            result = 0;
            return true;
        }
        const size_t n = std::min<size_t>(w.text.size(), wParam - 1);
        std::memcpy(buffer, w.text.data(), n);
        buffer[n] = 0;
        result = static_cast<LRESULT>(n);
        return true;
    }
    case WM_GETTEXTLENGTH: result = static_cast<LRESULT>(w.text.size()); return true;
    default: return false;
    }
}

// Replaces the selection with as much of `text` as the limit lets in.
void ReplaceSelection(Window& w, const std::string& text) {
    const size_t from = std::min<size_t>(w.selStart, w.selEnd), to = std::max<size_t>(w.selStart, w.selEnd);
    const size_t kept = w.text.size() - (to - from);
    const size_t room = w.limit > kept ? w.limit - kept : 0;
    const std::string inserted = text.substr(0, room);
    w.text.replace(from, to - from, inserted);
    w.selStart = w.selEnd = static_cast<DWORD>(from + inserted.size());
}

LRESULT Edit(Window* w, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case EM_LIMITTEXT: w->limit = wParam ? wParam : kEditMaximum; return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(w->limit);
    case EM_SETSEL: {
        const DWORD length = static_cast<DWORD>(w->text.size());
        if (static_cast<int>(wParam) < 0) {
            w->selStart = w->selEnd;  // no selection, the caret stays
            return 0;
        }
        w->selStart = std::min<DWORD>(wParam, length);
        w->selEnd = lParam < 0 ? length : std::min<DWORD>(lParam, length);
        return 0;
    }
    case EM_GETSEL:
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = w->selStart;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = w->selEnd;
        return MAKELONG(w->selStart, w->selEnd);
    case WM_CHAR: {
        const unsigned char c = static_cast<unsigned char>(wParam);
        if (c == VK_BACK) {
            if (w->selStart == w->selEnd && w->selStart > 0) --w->selStart;
            ReplaceSelection(*w, "");
        } else if (c == 0x16) {  // Ctrl+V
            ReplaceSelection(*w, S().clipboard);
        } else if (c >= 32) {
            ReplaceSelection(*w, std::string(1, static_cast<char>(c)));
        }
        return 0;
    }
    case WM_PASTE: ReplaceSelection(*w, S().clipboard); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL;
    default: return DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT Button(Window* w, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_GETCHECK: return w->check;
    case BM_SETCHECK: w->check = static_cast<int>(wParam); return 0;
    case BM_CLICK: {
        if ((w->style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
            w->check = w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        const HWND parent = w->parent;
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED), reinterpret_cast<LPARAM>(handle));
        return 0;
    }
    default: return DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT Static(Window*, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle, message, wParam, lParam);
}

// A drop-down list: no typing, its text is the selected item's.
LRESULT ComboBox(Window* w, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CB_ADDSTRING:
        w->items.push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
        return static_cast<LRESULT>(w->items.size() - 1);
    case CB_GETCOUNT: return static_cast<LRESULT>(w->items.size());
    case CB_GETCURSEL: return w->currentItem;
    case CB_SETCURSEL:
        w->currentItem = wParam < w->items.size() ? static_cast<int>(wParam) : CB_ERR;
        w->text = w->currentItem == CB_ERR ? "" : w->items[w->currentItem];
        return w->currentItem;
    case WM_SETTEXT:  // a drop-down list's text is not set
        return CB_ERR;
    default: return DefWindowProcA(handle, message, wParam, lParam);
    }
}

// The window procedure of a class: the control's record, the text messages
// every class answers alike, then the class's own handling.
template <LRESULT (*Handle)(Window*, HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ClassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(handle);
    if (!w) return 0;
    LRESULT result = 0;
    if (TextMessage(*w, message, wParam, lParam, result)) return result;
    return Handle(w, handle, message, wParam, lParam);
}

WNDPROC ClassProcedure(const std::string& className) {
    if (className == "Edit") return &ClassProc<Edit>;
    if (className == "Button") return &ClassProc<Button>;
    if (className == "ComboBox") return &ClassProc<ComboBox>;
    return &ClassProc<Static>;
}

bool TakesTabStop(const Window& w) { return (w.style & WS_TABSTOP) && w.visible && w.enabled; }

HWND DefaultButton(HWND dialog, int& id) {
    for (HWND h : ChildrenOf(dialog)) {
        Window& w = *FindWindowObject(h);
        if (w.className == "Button" && (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            id = w.id;
            return h;
        }
    }
    id = IDOK;
    return GetDlgItem(dialog, IDOK);
}

bool IsSelfOrDescendant(HWND ancestor, HWND window) {
    for (Window* w = FindWindowObject(window); w; w = w->dialog ? nullptr : FindWindowObject(w->parent))
        if (w->handle == ancestor) return true;
    return false;
}

}  // namespace

void CreateControls(Window& dialog, const RcDialog& templ) {
    auto& s = S();
    for (const RcControl& c : templ.controls) {
        auto w = std::make_unique<Window>();
        HWND handle = s.NewHandle<HWND>();
        w->handle = handle;
        w->thread = dialog.thread;
        w->parent = dialog.handle;
        w->className = c.className;
        w->id = c.id;
        w->style = c.style;
        w->text = c.text;
        w->visible = (c.style & WS_VISIBLE) != 0;
        w->enabled = (c.style & WS_DISABLED) == 0;
        w->wndProc = ClassProcedure(c.className);
        w->limit = kEditDefaultLimit;
        s.windows[handle] = std::move(w);
        s.windowOrder.push_back(handle);
    }
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND h : S().windowOrder) {
        const Window& w = *S().windows.at(h);
        if (w.parent == parent && !w.dialog) children.push_back(h);
    }
    return children;
}

HWND FirstTabStop(HWND dialog) {
    for (HWND h : ChildrenOf(dialog))
        if (TakesTabStop(*FindWindowObject(h))) return h;
    return nullptr;
}

void DialogSetFocus(HWND control) {
    Window* w = FindWindowObject(control);
    if (!w) return;
    if (IsEdit(*w)) SendMessageA(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

bool DialogKey(HWND dialog, const MSG& m) {
    if (m.message != WM_KEYDOWN || !IsSelfOrDescendant(dialog, m.hwnd)) return false;
    switch (m.wParam) {
    case VK_TAB: {
        std::vector<HWND> stops;
        for (HWND h : ChildrenOf(dialog))
            if (TakesTabStop(*FindWindowObject(h))) stops.push_back(h);
        if (stops.empty()) return true;
        auto at = std::find(stops.begin(), stops.end(), S().focus);
        const bool back = GetKeyState(VK_SHIFT) < 0;
        size_t index = at == stops.end() ? 0 : static_cast<size_t>(at - stops.begin());
        if (at != stops.end()) index = back ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
        DialogSetFocus(stops[index]);
        return true;
    }
    case VK_RETURN: {
        int id = IDOK;
        HWND button = DefaultButton(dialog, id);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return true;
    }
    case VK_ESCAPE:
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return true;
    case VK_F1: {
        // The system sends WM_HELP to the window with the focus; controls pass
        // it on to their dialog.
        HWND target = IsSelfOrDescendant(dialog, S().focus) ? S().focus : dialog;
        Window* w = FindWindowObject(target);
        HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, w ? w->id : 0, target, 0, S().cursor};
        SendMessageA(target, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return true;
    }
    default: return false;
    }
}

// ---------------------------------------------------------------- Desktop: controls

HWND Desktop::DialogControl(HWND dialog, int id) const {
    for (HWND h : ChildrenOf(dialog))
        if (FindWindowObject(h)->id == id) return h;
    return nullptr;
}

ControlView Desktop::Control(HWND control) const {
    ControlView view;
    if (sim::Window* w = FindWindowObject(control)) {
        view.handle = control;
        view.id = w->id;
        view.className = w->className;
        view.text = w->text;
        view.style = w->style;
        view.visible = w->visible;
        view.enabled = w->enabled;
        view.focused = state_->focus == control;
        view.limit = w->limit;
        view.selStart = w->selStart;
        view.selEnd = w->selEnd;
        view.check = w->check;
    }
    return view;
}

std::vector<ControlView> Desktop::Controls(HWND dialog) const {
    std::vector<ControlView> views;
    for (HWND h : ChildrenOf(dialog)) views.push_back(Control(h));
    return views;
}

HWND Desktop::Focus() const { return state_->focus; }
void Desktop::SetCapture(HWND window) { state_->capture = window; }
HWND Desktop::Capture() const { return state_->capture; }
void Desktop::SetHelpViewerStarts(bool starts) { state_->helpViewerStarts = starts; }
const std::vector<HelpCall>& Desktop::HelpCalls() const { return state_->helpCalls; }

void Desktop::Type(HWND control, const std::string& characters) {
    for (char c : characters) PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 0);
    Settle();
}

void Desktop::Paste(HWND control, const std::string& text) {
    state_->clipboard = text;
    PostMessageA(control, WM_CHAR, 0x16, 0);
    Settle();
}

void Desktop::Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
    Settle();
}

}  // namespace sim

using namespace sim;

// ---------------------------------------------------------------- controls of dialogs

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Called("GetDlgItem");
    for (HWND h : ChildrenOf(dialog))
        if (FindWindowObject(h)->id == id) return h;
    SetError(kErrorControlIdNotFound);
    return nullptr;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    Called("SetDlgItemTextA");
    HWND control = GetDlgItem(dialog, id);
    return control && SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int bufferMax) {
    Called("GetDlgItemTextA");
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (buffer && bufferMax > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(SendMessageA(control, WM_GETTEXT, bufferMax, reinterpret_cast<LPARAM>(buffer)));
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    Called("SendDlgItemMessageA");
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    Called("CheckDlgButton");
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    Called("IsDlgButtonChecked");
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0)) : 0;
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int bufferMax) {
    Window* w = FindWindowObject(window);
    Called("GetWindowTextA");
    if (!w || !buffer || bufferMax <= 0) return 0;
    if (!w->dialog)
        return static_cast<int>(SendMessageA(window, WM_GETTEXT, bufferMax, reinterpret_cast<LPARAM>(buffer)));
    const size_t n = std::min<size_t>(w->text.size(), bufferMax - 1);
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

int WINAPI GetWindowTextLengthA(HWND window) {
    Window* w = FindWindowObject(window);
    Called("GetWindowTextLengthA");
    if (!w) return 0;
    return w->dialog ? static_cast<int>(w->text.size())
                     : static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

// ---------------------------------------------------------------- focus and relations

HWND WINAPI SetFocus(HWND window) {
    Trace("SetFocus", "%p", (void*)window);
    auto& s = S();
    HWND previous = s.focus;
    if (window && !FindWindowObject(window)) {
        SetError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (previous == window) return previous;
    s.focus = window;
    if (FindWindowObject(previous)) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window) SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WINAPI GetFocus(void) {
    Called("GetFocus");
    return FindWindowObject(S().focus) ? S().focus : nullptr;
}

HWND WINAPI GetCapture(void) {
    Called("GetCapture");
    return FindWindowObject(S().capture) ? S().capture : nullptr;
}

// A child's parent, or a pop-up's owner.
HWND WINAPI GetParent(HWND window) {
    Called("GetParent");
    Window* w = FindWindowObject(window);
    return w ? w->parent : nullptr;
}

HWND WINAPI GetWindow(HWND window, UINT relation) {
    Called("GetWindow");
    Window* w = FindWindowObject(window);
    if (!w || relation != GW_OWNER) return nullptr;
    return w->dialog ? w->parent : nullptr;
}

// The most recently made pop-up the window owns that is still there, or the window itself.
HWND WINAPI GetLastActivePopup(HWND window) {
    Called("GetLastActivePopup");
    HWND popup = window;
    for (HWND h : S().windowOrder) {
        const Window& w = *S().windows.at(h);
        if (w.dialog && w.parent == window && !w.ended) popup = h;
    }
    return popup;
}

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam) {
    Called("EnumChildWindows");
    std::vector<HWND> all;
    std::vector<HWND> pending = ChildrenOf(parent);
    for (size_t i = 0; i < pending.size(); ++i) {
        all.push_back(pending[i]);
        for (HWND grandchild : ChildrenOf(pending[i])) pending.push_back(grandchild);
    }
    for (HWND h : all)
        if (FindWindowObject(h) && !callback(h, lParam)) break;
    return TRUE;
}

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Called("CallWindowProcA");
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

// Help goes up to the parent of a child, or the owner of a pop-up; cancelling
// modes releases the mouse capture.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Called("DefWindowProcA");
    if (message == WM_CANCELMODE && S().capture == window) S().capture = nullptr;
    if (message == WM_HELP) {
        if (HWND up = GetParent(window)) return SendMessageA(up, WM_HELP, wParam, lParam);
        return TRUE;
    }
    return 0;
}

// ---------------------------------------------------------------- keyboard and help

SHORT WINAPI GetKeyState(int key) {
    Called("GetKeyState");
    return S().keysDown.count(key) ? static_cast<SHORT>(0x8000) : 0;
}

// The ANSI code page 1252: letters are A-Z, a-z and the accented letters above 0xBF.
BOOL WINAPI IsCharAlphaA(CHAR character) {
    Called("IsCharAlphaA");
    const unsigned char c = static_cast<unsigned char>(character);
    if (c < 0x80) return std::isalpha(c) ? TRUE : FALSE;
    const bool letter = (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A ||
                        c == 0x9C || c == 0x9E || c == 0x9F || c == 0xAA || c == 0xB5 || c == 0xBA;
    return letter ? TRUE : FALSE;
}

BOOL WINAPI IsCharAlphaNumericA(CHAR character) {
    Called("IsCharAlphaNumericA");
    const unsigned char c = static_cast<unsigned char>(character);
    return IsCharAlphaA(character) || (c >= '0' && c <= '9') ? TRUE : FALSE;
}

BOOL WINAPI WinHelpA(HWND window, LPCSTR helpFile, UINT command, ULONG_PTR data) {
    Trace("WinHelpA", "%p, \"%s\", %u, %lu", (void*)window, helpFile ? helpFile : "", command, data);
    if (S().keepRecords) S().helpCalls.push_back(HelpCall{window, helpFile ? helpFile : "", command, data});
    return S().helpViewerStarts && !Fails("WinHelpA") ? TRUE : FALSE;
}
