// The call logs the libraries keep for the tests: a line appended to the file
// an environment variable names, written with the system's own calls (the C
// library's stdio would be most of a small library). Shared by the libraries.
#ifndef COMMON_LOGFILE_H
#define COMMON_LOGFILE_H

#include <windows.h>

// Appends `size` bytes of `text` to the file `path`, made where it is missing;
// nothing when the file cannot be opened.
inline void AppendToFile(const char* path, const char* text, DWORD size) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, text, size, &written, nullptr);
    CloseHandle(file);
}

// Appends to the file the environment variable `variable` names; nothing when
// it names none, or a path too long for MAX_PATH.
inline void AppendToLogNamedBy(const char* variable, const char* text, DWORD size) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(variable, path, sizeof path);
    if (length > 0 && length < sizeof path) AppendToFile(path, text, size);
}

#endif
