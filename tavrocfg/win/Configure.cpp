// TAVROCFG.CPL, the configuration applet. Configure shows one window with the
// pages as tabs on the caller's thread, opened on the page the caller asks
// for and for its adapter, and returns when the user closes it. While it is
// open, the registered message "TAVROCFG.CPL POPUP" brings it to the front.
// Where the system has visual styles, the window uses them through the
// applet's own manifest (resource 2), activated around the window's life.
#include "AppletRequest.h"
#include "AppletSheet.h"
#include "DataSource.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

HINSTANCE appletModule = nullptr;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The activation context of the applet's manifest, which asks for version 6
// of the common controls. Windows before XP has no activation contexts: the
// functions are looked up, and without them the window keeps the classic look.
class VisualStyles {
public:
    explicit VisualStyles(HINSTANCE module) {
        struct ActivationContextRecord {  // ACTCTXA
            ULONG size;
            DWORD flags;
            LPCSTR source;
            USHORT processorArchitecture;
            LANGID languageId;
            LPCSTR assemblyDirectory;
            LPCSTR resourceName;
            LPCSTR applicationName;
            HMODULE module;
        };
        typedef HANDLE(WINAPI * CreateFunction)(const ActivationContextRecord*);
        typedef BOOL(WINAPI * ActivateFunction)(HANDLE, ULONG_PTR*);
        const DWORD kResourceNameValid = 0x008, kModuleValid = 0x080;
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        auto create = FindFunction<CreateFunction>(kernel, "CreateActCtxA");
        auto activate = FindFunction<ActivateFunction>(kernel, "ActivateActCtx");
        deactivate_ = FindFunction<DeactivateFunction>(kernel, "DeactivateActCtx");
        release_ = FindFunction<ReleaseFunction>(kernel, "ReleaseActCtx");
        char path[MAX_PATH] = "";
        if (!create || !activate || !deactivate_ || !release_ || !GetModuleFileNameA(module, path, MAX_PATH)) return;
        ActivationContextRecord record = {
            sizeof record, kResourceNameValid | kModuleValid, path, 0, 0, nullptr, MAKEINTRESOURCEA(2), nullptr,
            module};
        context_ = create(&record);
        if (context_ == INVALID_HANDLE_VALUE) return;
        if (!activate(context_, &cookie_)) {
            release_(context_);
            context_ = INVALID_HANDLE_VALUE;
        }
    }
    ~VisualStyles() {
        if (context_ == INVALID_HANDLE_VALUE) return;
        deactivate_(0, cookie_);
        release_(context_);
    }

private:
    typedef BOOL(WINAPI* DeactivateFunction)(DWORD, ULONG_PTR);
    typedef void(WINAPI* ReleaseFunction)(HANDLE);
    DeactivateFunction deactivate_ = nullptr;
    ReleaseFunction release_ = nullptr;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) appletModule = module;
    return TRUE;
}

// Configure(count, entries, reserved): entries are the match text, the adapter
// identifier and the page keyword, of which the first `count` are given.
extern "C" __declspec(dllexport) long WINAPI Configure(int count, const char** entries, unsigned long* reserved) {
    const AppletRequest request = ReadRequest(count, entries, reserved);
    char countText[16], reservedText[16];
    wsprintfA(countText, "%d", count);
    wsprintfA(reservedText, "%lu", request.reserved);
    LogLine(std::string("Configure count=") + countText + " match=" + Quoted(request.matchText) +
            " adapter=" + Quoted(request.adapterId) + " page=" + Quoted(request.page) + " reserved=" + reservedText);
    const ChosenAdapter adapter = ChooseAdapter(request.adapterId);
    DataSource data(adapter.adapterId);
    AppletContext context = {appletModule, adapter, &data};
    {
        VisualStyles styles(appletModule);
        InitCommonControls();
        RunAppletSheet(context, request);
    }
    LogLine("closed");
    return 0;
}
