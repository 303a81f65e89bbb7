// Whether the program's own configuration commands may be offered.
#include "tray/StatusTrayDlg.h"

// The check of the system's wireless configuration service is not built yet:
// until it is, the commands are always offered.
BOOL CStatusTrayDlg::CheckOwnConfigAllowed() { return TRUE; }
