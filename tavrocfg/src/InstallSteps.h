// The Installation page's rules: whether the program starts at logon, read
// from the Run value, and the steps still to do. Plain C++, tested on the host.
#ifndef TAVROCFG_INSTALLSTEPS_H
#define TAVROCFG_INSTALLSTEPS_H

#include <string>
#include <vector>

enum RunAtLogon { kRunNone, kRunThisCopy, kRunOtherCopy };
// What the Run value's command starts: the program at `ownPath`, another
// copy, or nothing (no value). The program is the command's first word, or
// the text between its first pair of quotes; case does not matter.
RunAtLogon RunAtLogonOf(const std::string& command, const std::string& ownPath);
const char* RunAtLogonWords(RunAtLogon run);

// What the page knows of the installation.
struct InstallState {
    bool filesMissing = false;
    bool adapterFound = false;
    bool connected = false;
    RunAtLogon run = kRunNone;
};
// The steps still to do, numbered; one line saying so when none is left.
std::string StepsToDo(const InstallState& state);

#endif
