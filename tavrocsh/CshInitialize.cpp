// TAVROCSH.DLL, the stand-in context-help library. ZEVARIDA.EXE hands it the
// name of its help file once, at start; help requests then go to the system's
// help viewer. With TAVROCSH_LOG naming a file, the call is logged there.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) int WINAPI CSHInitialize(const char* helpFile, int flag) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("TAVROCSH_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) return 1;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "CSHInitialize file=\"%s\" flag=%d\n", helpFile ? helpFile : "", flag);
        std::fclose(file);
    }
    return 1;
}
