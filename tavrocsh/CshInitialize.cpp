// TAVROCSH.DLL, the stand-in context-help library. ZEVARIDA.EXE hands it the
// name of its help file once, at start; help requests then go to the system's
// help viewer. With TAVROCSH_LOG naming a file, the call is logged there.
//
// The log line is written with the system's own calls rather than the C
// library's stdio, whose formatting would be most of this small library.
#include <windows.h>

namespace {

void AppendToFile(const char* path, const char* text, DWORD size) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, NULL, FILE_END);
    DWORD written = 0;
    WriteFile(file, text, size, &written, NULL);
    CloseHandle(file);
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI CSHInitialize(const char* helpFile, int flag) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("TAVROCSH_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) return 1;
    // wsprintfA writes at most 1024 characters; the help file's name is cut
    // to MAX_PATH so that the line always fits.
    char line[1024];
    const int size = wsprintfA(line, "CSHInitialize file=\"%.260s\" flag=%d\n", helpFile ? helpFile : "", flag);
    AppendToFile(path, line, static_cast<DWORD>(size));
    return 1;
}
