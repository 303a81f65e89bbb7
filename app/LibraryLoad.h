// Loading the libraries of the product family where only the machine's owner
// can have put them.
#ifndef APP_LIBRARYLOAD_H
#define APP_LIBRARYLOAD_H

#include <windows.h>

// Loads `fileName` by full path from the program's own folder, else from the
// system folder, else from the Windows folder; never from the current folder
// or a folder on PATH, where anyone may leave a file of that name. Null when
// none of the three holds a library of that name that loads.
HMODULE LoadFamilyLibrary(const char* fileName);

// Takes the current folder out of the search for every library loaded by
// bare name from now on, the family's libraries' own imports included, where
// the system can (SetDllDirectoryA, from Windows XP SP1 on; looked up at run
// time, so the program still starts on Windows 98 and NT 4).
void RestrictLibrarySearch();

#endif
