// Libraries reached at run time, by the program and the libraries alike:
// loaded by their full path only, never by a bare name, so that a file of
// the same name in the current folder or on PATH is never run; and their
// functions found by name, each as the pointer type it has.
#ifndef COMMON_LIBRARY_H
#define COMMON_LIBRARY_H

#include "common/Mbcs.h"

#include <windows.h>

#include <string.h>

// The length of the folder part of `path` with its closing backslash: of the
// folder `path` names, or with `isFile` of the folder holding the file `path`
// names (a backslash is added where the folder lacks one). 0 when there is
// none, or when the system's answer `length` was cut (0, or the whole
// buffer): a cut path may name another folder.
inline size_t FolderPart(char (&path)[MAX_PATH], DWORD length, bool isFile) {
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

// Loads `fileName` from the folder whose path, with its closing backslash,
// is the first `folderLength` bytes of `path`; null when there is no folder
// (0), the whole path does not fit, or no library of that name loads there.
inline HMODULE LoadFromFolder(char (&path)[MAX_PATH], size_t folderLength, const char* fileName) {
    const size_t nameLength = strlen(fileName);
    if (folderLength == 0 || folderLength + nameLength >= MAX_PATH) return nullptr;
    memcpy(path + folderLength, fileName, nameLength + 1);
    return LoadLibraryA(path);
}

// A library of Windows, from the system folder.
inline HMODULE LoadSystemLibrary(const char* fileName) {
    char path[MAX_PATH];
    return LoadFromFolder(path, FolderPart(path, GetSystemDirectoryA(path, MAX_PATH), false), fileName);
}

// A library of the product family, from the program's own folder, else from
// the system folder, else from the Windows folder: the folders only the
// machine's owner can have put it in.
inline HMODULE LoadFamilyLibrary(const char* fileName) {
    char path[MAX_PATH];
    if (HMODULE library =
            LoadFromFolder(path, FolderPart(path, GetModuleFileNameA(nullptr, path, MAX_PATH), true), fileName))
        return library;
    if (HMODULE library = LoadSystemLibrary(fileName)) return library;
    return LoadFromFolder(path, FolderPart(path, GetWindowsDirectoryA(path, MAX_PATH), false), fileName);
}

// A function of a loaded library by its name, as the pointer type it has;
// null when the module is null or lacks it.
template <typename Function>
inline Function FindFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

// The same of a library the process has loaded already (KERNEL32.DLL, ...),
// which stays loaded: found by its name, not loaded again.
template <typename Function>
inline Function FindLoadedFunction(const char* moduleName, const char* name) {
    return FindFunction<Function>(GetModuleHandleA(moduleName), name);
}

#endif
