#include "app/LibraryLoad.h"

#include "common/Library.h"

namespace {
typedef BOOL(WINAPI* SetDllDirectoryProc)(const char* folder);
}  // namespace

void RestrictLibrarySearch() {
    if (auto restrict = FindLoadedFunction<SetDllDirectoryProc>("KERNEL32.DLL", "SetDllDirectoryA")) restrict("");
}
