// TAVROCSH.DLL, the stand-in context-help library. ZEVARIDA.EXE hands it the
// name of its help file once, at start; help requests then go to the system's
// help viewer. With TAVROCSH_LOG naming a file, the call is logged there.
//
// The log line is formatted with wsprintfA rather than the C library's
// stdio, whose formatting would be most of this small library.
#include <windows.h>

#include "common/LogFile.h"

extern "C" __declspec(dllexport) int WINAPI CSHInitialize(const char* helpFile, int flag) {
    // wsprintfA writes at most 1024 characters; the help file's name is cut
    // to MAX_PATH so that the line always fits.
    char line[1024];
    const int size = wsprintfA(line, "CSHInitialize file=\"%.260s\" flag=%d\n", helpFile ? helpFile : "", flag);
    AppendToLogNamedBy("TAVROCSH_LOG", line, static_cast<DWORD>(size));
    return 1;
}
