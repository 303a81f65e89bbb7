// ScenarioText.cpp - words, numbers, periods and stepping lists of scenario text.
#include "ScenarioText.h"

#include <cctype>

namespace tavro {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        size_t start = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

// Drops a trailing "# comment" from a value.
std::string WithoutComment(const std::string& s) {
    size_t hash = s.find('#');
    return Trim(hash == std::string::npos ? s : s.substr(0, hash));
}

// A decimal or 0x-hexadecimal number up to 0xFFFFFFFF, or yes/no, on/off, true/false.
bool ParseElement(const std::string& word, unsigned long& value) {
    std::string w = Lower(word);
    if (w == "yes" || w == "on" || w == "true") {
        value = 1;
        return true;
    }
    if (w == "no" || w == "off" || w == "false") {
        value = 0;
        return true;
    }
    int base = 10;
    size_t start = 0;
    if (w.size() > 2 && w[0] == '0' && w[1] == 'x') {
        base = 16;
        start = 2;
    }
    if (start >= w.size()) return false;
    unsigned long long v = 0;
    for (size_t i = start; i < w.size(); ++i) {
        char c = w[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFull) return false;
    }
    value = static_cast<unsigned long>(v);
    return true;
}

// "3s", "1.5s", "500ms" (the unit may also stand apart: "3 s").
bool ParsePeriod(const std::string& text, unsigned long& ms) {
    std::string t = Lower(text);
    size_t i = 0;
    unsigned long long whole = 0, frac = 0, fracScale = 1;
    size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
        whole = whole * 10 + (t[i++] - '0');
        if (whole > 86400000ull) return false;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            if (fracScale < 1000) {
                frac = frac * 10 + (t[i] - '0');
                fracScale *= 10;
            }
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    std::string unit = Trim(t.substr(i));
    unsigned long long total;
    if (unit == "s")
        total = whole * 1000 + frac * 1000 / fracScale;
    else if (unit == "ms" && fracScale == 1)
        total = whole;
    else
        return false;
    if (total == 0 || total > 86400000ull) return false;  // 1 ms .. 24 h
    ms = static_cast<unsigned long>(total);
    return true;
}

// "-67": 0 or a negative whole number of dBm down to -200.
bool ParseDbm(const std::string& word, unsigned long& value) {
    if (word == "0") {
        value = 0;
        return true;
    }
    if (word.size() < 2 || word.size() > 4 || word[0] != '-') return false;
    long n = 0;
    for (size_t i = 1; i < word.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
        n = n * 10 + (word[i] - '0');
    }
    if (n > 200) return false;
    value = static_cast<unsigned long>(-n);
    return true;
}

// "54", "5.5", "866.7": Mbit/s with up to three decimals, as kbit/s.
bool ParseMbps(const std::string& word, unsigned long& kbps) {
    unsigned long long whole = 0, frac = 0, scale = 1000;
    size_t i = 0, digits = 0;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i, ++digits) {
        whole = whole * 10 + (word[i] - '0');
        if (whole > 4000000ull) return false;
    }
    if (i < word.size() && word[i] == '.') {
        for (++i; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i, ++digits) {
            if (scale == 1) return false;
            scale /= 10;
            frac += (word[i] - '0') * scale;
        }
    }
    if (digits == 0 || i != word.size()) return false;
    kbps = static_cast<unsigned long>(whole * 1000 + frac);
    return true;
}

bool ParseOneElement(const std::string& word, unsigned long& value, ElementKind kind) {
    if (kind == DbmElements) return ParseDbm(word, value);
    if (kind == MbpsElements) return ParseMbps(word, value);
    return ParseElement(word, value);
}

const char* ElementHint(ElementKind kind) {
    if (kind == DbmElements) return "is not a signal in dBm (0 or -1 .. -200)";
    if (kind == MbpsElements) return "is not a rate in Mbit/s (54, 5.5, 866.7)";
    return "is not a number (decimal, 0x hex, yes/no, on/off, true/false)";
}

// "<element> [<element> ...] [every <period>]"
bool ParseTimedValue(const std::string& text, TimedValue& value, std::string& why, ElementKind kind) {
    std::vector<std::string> w = Words(WithoutComment(text));
    TimedValue v;
    size_t i = 0;
    for (; i < w.size() && Lower(w[i]) != "every"; ++i) {
        unsigned long element;
        if (!ParseOneElement(w[i], element, kind)) {
            why = "'" + w[i] + "' " + ElementHint(kind);
            return false;
        }
        v.elements.push_back(element);
    }
    if (v.elements.empty()) {
        why = "a value is needed";
        return false;
    }
    if (i < w.size()) {  // "every ..."
        std::string period;
        for (size_t j = i + 1; j < w.size(); ++j) period += w[j];
        if (!ParsePeriod(period, v.periodMs)) {
            why = "'every' needs a period such as 3s, 1.5s or 500ms";
            return false;
        }
    }
    value = v;
    return true;
}

}  // namespace tavro
