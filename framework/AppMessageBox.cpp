#include "framework/AppBase.h"

int AppMessageBox(const char* text, UINT type) {
    CAppBase* app = CAppBase::Current();
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    const std::string caption = app ? app->ApplicationName() : std::string();
    return MessageBoxA(app ? app->FrontWindow() : nullptr, text, caption.c_str(), type | MB_OK);
}
