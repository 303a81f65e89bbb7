// Resources (strings, icons, menus) of the simulated desktop, read from the
// program's own resource script, and the tracking of pop-up menus.
#include "State.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

int ResourceId(LPCSTR name) { return static_cast<int>(reinterpret_cast<uintptr_t>(name)); }

bool Available(ResourceKind kind, int id) { return S().hidden.count({kind, id}) == 0; }

HMENU BuildMenu(const std::vector<RcMenuItem>& source) {
    auto menu = std::make_unique<Menu>();
    for (const RcMenuItem& item : source) {
        Menu::Item built;
        built.id = static_cast<UINT>(item.id);
        built.text = item.text;
        built.flags = item.flags;
        built.separator = item.separator;
        if (item.popup) built.popup = BuildMenu(item.children);
        menu->items.push_back(built);
    }
    HMENU handle = S().NewHandle<HMENU>();
    S().menus[handle] = std::move(menu);
    return handle;
}

Menu* MenuObject(HMENU menu) {
    auto it = S().menus.find(menu);
    if (it == S().menus.end()) {
        SetError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

// Finds an item by command in a menu and its pop-ups, as MF_BYCOMMAND does.
Menu::Item* FindByCommand(Menu& menu, UINT id, Menu** owner = nullptr) {
    for (Menu::Item& item : menu.items) {
        if (item.popup) {
            if (Menu* sub = MenuObject(item.popup))
                if (Menu::Item* found = FindByCommand(*sub, id, owner)) return found;
        } else if (!item.separator && item.id == id) {
            if (owner) *owner = &menu;
            return &item;
        }
    }
    return nullptr;
}

}  // namespace

int Desktop::IconResource(HICON icon) const {
    auto it = state_->icons.find(icon);
    return it == state_->icons.end() ? 0 : it->second.resource;
}

int Desktop::IconSize(HICON icon) const {
    auto it = state_->icons.find(icon);
    return it == state_->icons.end() ? 0 : it->second.size;
}

bool Desktop::IconScaled(HICON icon) const {
    auto it = state_->icons.find(icon);
    return it != state_->icons.end() && it->second.scaled;
}

int Desktop::OpenIcons() const {
    return static_cast<int>(
        std::count_if(state_->icons.begin(), state_->icons.end(), [](const auto& i) { return !i.second.shared; }));
}

int Desktop::OpenMenus() const { return static_cast<int>(state_->menus.size()); }

std::vector<MenuItemView> Desktop::MenuItems(HMENU handle) const {
    std::vector<MenuItemView> views;
    Menu* menu = MenuObject(handle);
    if (!menu) return views;
    for (const Menu::Item& item : menu->items) {
        MenuItemView view;
        view.id = item.id;
        view.text = item.text;
        view.separator = item.separator;
        view.grayed = (item.flags & MF_GRAYED) != 0;
        view.checked = (item.flags & MF_CHECKED) != 0;
        view.radioCheck = item.radioCheck;
        view.popup = item.popup != nullptr;
        views.push_back(view);
    }
    return views;
}

const OpenMenu* Desktop::TrackedMenu() const { return state_->trackedMenu.get(); }

void Desktop::ChooseMenuItem(UINT id) {
    auto& s = *state_;
    if (!s.trackedMenu) return;
    // The item as it is now: the program may change it while the menu is open.
    for (const MenuItemView& item : MenuItems(s.trackedMenu->menu))
        if (!item.separator && !item.popup && item.id == id && !item.grayed) {
            s.menuChoice = id;
            s.menuClosed = true;
            s.menuThread->wake = true;
            Settle();
            return;
        }
    // A greyed or missing item cannot be chosen: the menu stays open.
}

void Desktop::DismissMenu() {
    auto& s = *state_;
    if (!s.trackedMenu) return;
    s.menuChoice = 0;
    s.menuClosed = true;
    s.menuThread->wake = true;
    Settle();
}

}  // namespace sim

using namespace sim;

int WINAPI LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax) {
    const bool fails = TraceFails("LoadStringA", "%u", id);
    if (!buffer || bufferMax <= 0) return 0;
    buffer[0] = 0;
    if (fails) {
        SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    auto& s = S();
    const std::string* text = nullptr;
    auto overridden = s.stringOverrides.find(static_cast<int>(id));
    if (overridden != s.stringOverrides.end()) {
        text = &overridden->second;
    } else {
        const auto& strings = Desktop::Get().Resources().strings;
        auto it = strings.find(static_cast<int>(id));
        if (it == strings.end() || !Available(ResourceKind::String, static_cast<int>(id))) {
            SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return 0;
        }
        text = &it->second;
    }
    size_t n = std::min(text->size(), static_cast<size_t>(bufferMax - 1));
    std::memcpy(buffer, text->data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR iconName) {
    const int id = ResourceId(iconName);
    auto& s = S();
    if (TraceFails("LoadIconA", "%d", id) || !Desktop::Get().Resources().icons.count(id) ||
        !Available(ResourceKind::Icon, id)) {
        SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    // LoadIcon hands out one shared icon per resource, at the standard size.
    auto it = s.sharedIcons.find(id);
    if (it != s.sharedIcons.end()) return it->second;
    HICON icon = s.NewHandle<HICON>();
    s.icons[icon] = Icon{id, 32, true};
    s.sharedIcons[id] = icon;
    return icon;
}

// Windows picks the image of the icon nearest the size asked and stretches
// it to that size when it has none of exactly that size; a width of 0 (without
// LR_DEFAULTSIZE) takes the first image's own size.
HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT) {
    const int id = ResourceId(name);
    auto& s = S();
    const auto& icons = Desktop::Get().Resources().icons;
    if (TraceFails("LoadImageA", "%d, %u, %d, %d", id, type, cx, cy) || type != IMAGE_ICON || !icons.count(id) ||
        !Available(ResourceKind::Icon, id)) {
        SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const std::vector<RcIconImage>& images = icons.at(id).images;
    const int width = cx ? cx : images.empty() ? 32 : images.front().width;
    const int height = cy ? cy : images.empty() ? 32 : images.front().height;
    bool exact = false;
    for (const RcIconImage& image : images) exact = exact || (image.width == width && image.height == height);
    HICON icon = s.NewHandle<HICON>();
    s.icons[icon] = Icon{id, width, false, !exact};
    return icon;
}

BOOL WINAPI DestroyIcon(HICON icon) {
    Trace("DestroyIcon", "%p", (void*)icon);
    auto it = S().icons.find(icon);
    if (it == S().icons.end()) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!it->second.shared) S().icons.erase(it);
    return TRUE;
}

HMENU WINAPI LoadMenuA(HINSTANCE, LPCSTR menuName) {
    const int id = ResourceId(menuName);
    const auto& menus = Desktop::Get().Resources().menus;
    auto it = menus.find(id);
    if (TraceFails("LoadMenuA", "%d", id) || it == menus.end() || !Available(ResourceKind::Menu, id)) {
        SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return BuildMenu(it->second.items);
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
    Menu* m = MenuObject(menu);
    Called("GetSubMenu");
    if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return nullptr;
    return m->items[position].popup;
}

namespace {
// A menu is destroyed with all its pop-ups.
bool DestroyMenuTree(HMENU menu) {
    Menu* m = MenuObject(menu);
    if (!m) return false;
    for (const Menu::Item& item : m->items)
        if (item.popup) DestroyMenuTree(item.popup);
    S().menus.erase(menu);
    return true;
}
}  // namespace

BOOL WINAPI DestroyMenu(HMENU menu) {
    Trace("DestroyMenu", "%p", (void*)menu);
    return DestroyMenuTree(menu) ? TRUE : FALSE;
}

UINT WINAPI EnableMenuItem(HMENU menu, UINT id, UINT enable) {
    Trace("EnableMenuItem", "%p, %u, 0x%X", (void*)menu, id, enable);
    Menu* m = MenuObject(menu);
    if (!m) return static_cast<UINT>(-1);
    Menu::Item* item = nullptr;
    if (enable & MF_BYPOSITION) {
        if (id < m->items.size()) item = &m->items[id];
    } else {
        item = FindByCommand(*m, id);
    }
    if (!item) return static_cast<UINT>(-1);
    const UINT mask = MF_GRAYED | MF_DISABLED;
    UINT previous = item->flags & mask;
    item->flags = (item->flags & ~mask) | (enable & mask);
    return previous;
}

BOOL WINAPI CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    Trace("CheckMenuRadioItem", "%p, %u, %u, %u, 0x%X", (void*)menu, first, last, check, flags);
    Menu* m = MenuObject(menu);
    if (!m || (flags & MF_BYPOSITION)) return FALSE;
    Menu* owner = nullptr;
    if (!FindByCommand(*m, check, &owner)) return FALSE;
    // The range is taken in the pop-up that holds the item to check.
    for (Menu::Item& item : owner->items) {
        if (item.separator || item.popup || item.id < first || item.id > last) continue;
        bool on = item.id == check;
        item.flags = on ? (item.flags | MF_CHECKED) : (item.flags & ~MF_CHECKED);
        item.radioCheck = on;
    }
    return TRUE;
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND window, const RECT*) {
    Trace("TrackPopupMenu", "%p, 0x%X, %d, %d, %p", (void*)menu, flags, x, y, (void*)window);
    auto& s = S();
    if (!MenuObject(menu) || !FindWindowObject(window) || s.trackedMenu || Fails("TrackPopupMenu")) return FALSE;
    auto open = std::make_unique<OpenMenu>();
    open->menu = menu;
    open->flags = flags;
    open->x = x;
    open->y = y;
    open->owner = window;
    open->items = Desktop::Get().MenuItems(menu);
    for (const auto& [handle, parent] : s.menus)
        for (const Menu::Item& item : parent->items)
            if (item.popup == menu) open->name = item.text;
    s.trackedMenu = std::move(open);
    s.menuThread = CurrentThread();
    s.menuClosed = false;
    s.menuChoice = 0;

    // The menu's own loop: timers and posted messages go on being dispatched.
    RunModalLoop([&s] { return s.menuClosed; });

    UINT choice = s.menuChoice;
    s.trackedMenu.reset();
    s.menuThread = nullptr;
    if (choice) PostMessageA(window, WM_COMMAND, choice, 0);
    return TRUE;
}
