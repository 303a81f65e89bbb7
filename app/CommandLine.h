// The process command line as the program reads it.
#ifndef APP_COMMANDLINE_H
#define APP_COMMANDLINE_H

#include <string>

// The argument text: what follows the program name (quoted or not) and the
// blanks and control characters after it.
std::string ArgumentText(const char* fullCommandLine);

// Keyword tests are case-sensitive substring searches anywhere in the text.
bool HasKeyword(const std::string& text, const char* keyword);

#endif
