#include "app/LibraryLoad.h"

#include "common/Mbcs.h"

#include <cstring>

namespace {

typedef BOOL(WINAPI* SetDllDirectoryProc)(const char* folder);

// The length of the folder part of `path` with its closing backslash: of
// the folder `path` names, or with `isFile` of the folder holding the file
// `path` names (a backslash is added where the folder lacks one). 0 when
// there is none, or when the system's answer was cut (length 0, or the
// whole buffer): a cut path may name another folder.
size_t FolderPart(char (&path)[MAX_PATH], DWORD length, bool isFile) {
    if (length == 0 || length >= MAX_PATH) return 0;
    // A backslash can be the second byte of a double-byte character, so the
    // path is read by characters.
    const UINT codePage = GetACP();
    size_t afterLastBackslash = 0;
    for (size_t at = 0; at < length; at += CharacterBytes(path + at, codePage))
        if (path[at] == '\\') afterLastBackslash = at + 1;
    if (isFile || afterLastBackslash == length) return afterLastBackslash;  // "C:\" ends in one already
    path[length] = '\\';
    return length + 1;
}

HMODULE LoadFrom(char (&path)[MAX_PATH], size_t folderLength, const char* fileName) {
    const size_t nameLength = std::strlen(fileName);
    if (folderLength == 0 || folderLength + nameLength >= MAX_PATH) return nullptr;
    std::memcpy(path + folderLength, fileName, nameLength + 1);
    return LoadLibraryA(path);
}

}  // namespace

HMODULE LoadFamilyLibrary(const char* fileName) {
    char path[MAX_PATH];
    if (HMODULE library = LoadFrom(path, FolderPart(path, GetModuleFileNameA(nullptr, path, MAX_PATH), true), fileName))
        return library;
    if (HMODULE library = LoadFrom(path, FolderPart(path, GetSystemDirectoryA(path, MAX_PATH), false), fileName))
        return library;
    return LoadFrom(path, FolderPart(path, GetWindowsDirectoryA(path, MAX_PATH), false), fileName);
}

void RestrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    FARPROC address = kernel ? GetProcAddress(kernel, "SetDllDirectoryA") : nullptr;
    if (address) reinterpret_cast<SetDllDirectoryProc>(reinterpret_cast<void (*)()>(address))("");
}
