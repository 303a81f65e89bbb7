// The Installation page's rules (see InstallSteps.h).
#include "InstallSteps.h"

#include "Rules.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

}  // namespace

RunAtLogon RunAtLogonOf(const std::string& command, const std::string& ownPath) {
    const size_t start = command.find_first_not_of(' ');
    if (start == std::string::npos) return kRunNone;
    std::string program;
    if (command[start] == '"') {
        const size_t from = start + 1, end = command.find('"', from);
        program = command.substr(from, end == std::string::npos ? std::string::npos : end - from);
    } else {
        program = command.substr(start, command.find(' ', start) - start);
    }
    return SamePath(program, ownPath) ? kRunThisCopy : kRunOtherCopy;
}

const char* RunAtLogonWords(RunAtLogon run) {
    switch (run) {
    case kRunThisCopy: return "Yes, for every user of this computer.";
    case kRunOtherCopy: return "Another copy of the program starts at logon, not this one.";
    default: return "No.";
    }
}

std::string StepsToDo(const InstallState& state) {
    std::vector<const char*> steps;
    if (state.filesMissing) steps.push_back("Put the files marked \"No\" beside the program; they come with it.");
    if (!state.adapterFound)
        steps.push_back("Insert or switch on the wireless adapter: the Status page shows it once Windows finds it.");
    else if (!state.connected)
        steps.push_back("Choose your network on the Site Survey page and connect to it.");
    if (state.run != kRunThisCopy) steps.push_back("To start the program at logon, install it with its setup program.");
    if (steps.empty()) return "Nothing is left to do: the program is installed and connected.";
    std::string text;
    for (size_t i = 0; i < steps.size(); ++i) {
        char number[16];
        FormatNumber(number, sizeof number, static_cast<unsigned long>(i + 1));
        text += std::string(i ? "\r\n" : "") + number + ". " + steps[i];
    }
    return text;
}
