// The program's own rule for the libraries it loads by bare name: never from
// the current folder. (The family's libraries and the system's are loaded by
// full path, common/Library.h.)
#ifndef APP_LIBRARYLOAD_H
#define APP_LIBRARYLOAD_H

// Takes the current folder out of the search for every library loaded by
// bare name from now on, the family's libraries' own imports included, where
// the system can (SetDllDirectoryA, from Windows XP SP1 on; looked up at run
// time, so the program still starts on Windows 98 and NT 4).
void RestrictLibrarySearch();

#endif
