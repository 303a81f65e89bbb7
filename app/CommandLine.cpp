#include "app/CommandLine.h"

std::string ArgumentText(const char* fullCommandLine) {
    if (!fullCommandLine) return std::string();
    const char* p = fullCommandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ') ++p;
    }
    while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
    return std::string(p);
}

bool HasKeyword(const std::string& text, const char* keyword) { return text.find(keyword) != std::string::npos; }
