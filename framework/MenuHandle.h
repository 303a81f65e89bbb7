// A menu object that owns one menu handle.
#ifndef FRAMEWORK_MENUHANDLE_H
#define FRAMEWORK_MENUHANDLE_H

#include <windows.h>

class CMenuHandle {
public:
    CMenuHandle() = default;
    ~CMenuHandle() { Destroy(); }
    CMenuHandle(const CMenuHandle&) = delete;
    CMenuHandle& operator=(const CMenuHandle&) = delete;

    void Attach(HMENU menu) {
        Destroy();
        menu_ = menu;
    }
    void Destroy() {
        if (menu_) DestroyMenu(menu_);
        menu_ = nullptr;
    }
    HMENU Handle() const { return menu_; }
    // The pop-up at `index`, or null when there is no menu or no such pop-up.
    HMENU SubMenu(int index) const { return menu_ && index >= 0 ? GetSubMenu(menu_, index) : nullptr; }

private:
    HMENU menu_ = nullptr;
};

#endif
