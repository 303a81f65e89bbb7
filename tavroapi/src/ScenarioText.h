// ScenarioText.h - the pieces of scenario text that every kind of section reads:
// trimmed words, numbers, periods and stepping lists.
//
// Plain C++ with no Windows calls.
#ifndef TAVRO_SCENARIOTEXT_H
#define TAVRO_SCENARIOTEXT_H

#include "ScenarioFile.h"

#include <string>
#include <vector>

namespace tavro {

std::string Trim(const std::string& s);
std::string Lower(std::string s);
std::vector<std::string> Words(const std::string& s);
// Drops a trailing "# comment" from a value.
std::string WithoutComment(const std::string& s);
// A decimal or 0x-hexadecimal number up to 0xFFFFFFFF, or yes/no, on/off, true/false.
bool ParseElement(const std::string& word, unsigned long& value);
// "3s", "1.5s", "500ms" (the unit may also stand apart: "3 s").
bool ParsePeriod(const std::string& text, unsigned long& ms);

// What the elements of a stepping list are.
enum ElementKind {
    PlainElements,  // numbers as ParseElement reads them
    DbmElements,    // 0 or a negative whole number of dBm, kept as its two's complement
    MbpsElements,   // a rate in Mbit/s with up to three decimals, kept in kbit/s
};

// "<element> [<element> ...] [every <period>]"
bool ParseTimedValue(const std::string& text, TimedValue& value, std::string& why, ElementKind kind = PlainElements);

}  // namespace tavro

#endif
