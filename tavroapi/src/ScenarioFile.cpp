// ScenarioFile.cpp - reads the line-oriented scenario text.
//
//   # comment
//   [adapter]
//   index = 5
//   description = Wireless LAN Card
//   id = {0B3C5D7E-1A2B-4C3D-8E9F-000000000005}
//   quality = 15 12 8 3 0 every 3s
//
// Any problem makes the whole file unusable; the caller then shows no adapters.
#include "ScenarioFile.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace tavro {

const char* const kFieldKeys[FieldCount] = {
    "present",       "attach", "radio",     "network_type",        "adapter_state",
    "quality",       "rate",   "wep_rx_ok", "network_type_in_use", "driver_version",
};

static const unsigned long kDefaults[FieldCount] = {
    1,       // present
    1,       // attach
    3,       // radio: radio on, switch on
    1,       // network_type: infrastructure
    1,       // adapter_state: linked
    15,      // quality
    22,      // rate: 11 Mbps
    100,     // wep_rx_ok
    1,       // network_type_in_use
    0x0501,  // driver_version
};

unsigned long TimedValue::at(unsigned long elapsedMs) const {
    if (elements.empty()) return 0;
    if (elements.size() == 1 || periodMs == 0) return elements[0];
    return elements[(elapsedMs / periodMs) % elements.size()];
}

const AdapterSection* Scenario::findById(const std::string& id) const {
    for (const AdapterSection& a : adapters)
        if (a.id == id) return &a;
    return nullptr;
}

const AdapterSection* Scenario::findByIndex(int index) const {
    for (const AdapterSection& a : adapters)
        if (a.index == index) return &a;
    return nullptr;
}

namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> words(const std::string& s) {
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
std::string withoutComment(const std::string& s) {
    size_t hash = s.find('#');
    return trim(hash == std::string::npos ? s : s.substr(0, hash));
}

// A decimal or 0x-hexadecimal number up to 0xFFFFFFFF, or yes/no, on/off, true/false.
bool parseElement(const std::string& word, unsigned long& value) {
    std::string w = lower(word);
    if (w == "yes" || w == "on" || w == "true") { value = 1; return true; }
    if (w == "no" || w == "off" || w == "false") { value = 0; return true; }
    int base = 10;
    size_t start = 0;
    if (w.size() > 2 && w[0] == '0' && w[1] == 'x') { base = 16; start = 2; }
    if (start >= w.size()) return false;
    unsigned long long v = 0;
    for (size_t i = start; i < w.size(); ++i) {
        char c = w[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFull) return false;
    }
    value = static_cast<unsigned long>(v);
    return true;
}

// "3s", "1.5s", "500ms" (the unit may also stand apart: "3 s").
bool parsePeriod(const std::string& text, unsigned long& ms) {
    std::string t = lower(text);
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
            if (fracScale < 1000) { frac = frac * 10 + (t[i] - '0'); fracScale *= 10; }
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    std::string unit = trim(t.substr(i));
    unsigned long long total;
    if (unit == "s") total = whole * 1000 + frac * 1000 / fracScale;
    else if (unit == "ms" && fracScale == 1) total = whole;
    else return false;
    if (total == 0 || total > 86400000ull) return false;  // 1 ms .. 24 h
    ms = static_cast<unsigned long>(total);
    return true;
}

// "<element> [<element> ...] [every <period>]"
bool parseTimedValue(const std::string& text, TimedValue& value, std::string& why) {
    std::vector<std::string> w = words(withoutComment(text));
    TimedValue v;
    size_t i = 0;
    for (; i < w.size() && lower(w[i]) != "every"; ++i) {
        unsigned long element;
        if (!parseElement(w[i], element)) {
            why = "'" + w[i] + "' is not a number (decimal, 0x hex, yes/no, on/off, true/false)";
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
        if (!parsePeriod(period, v.periodMs)) {
            why = "'every' needs a period such as 3s, 1.5s or 500ms";
            return false;
        }
    }
    value = v;
    return true;
}

bool validId(const std::string& id, std::string& why) {
    if (id.empty()) { why = "the identifier is empty"; return false; }
    if (id.size() > kMaxId) { why = "the identifier is longer than 255 characters"; return false; }
    for (char c : id) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == ' ' || c == '\\') {
            why = "the identifier may not hold spaces, backslashes or control characters";
            return false;
        }
    }
    return true;
}

std::string defaultId(int index) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "{7A5E0D11-0000-4000-8000-0000000000%02X}", index);
    return buf;
}

std::string defaultDescription(int index) {
    return "Wireless LAN Adapter " + std::to_string(index);
}

struct SectionState {
    AdapterSection section;
    bool seen[FieldCount + 3] = {};  // fields, then index, description, id
};

}  // namespace

bool parseScenario(const std::string& input, Scenario& out, std::string& error) {
    out.adapters.clear();
    std::string text = input;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // UTF-8 mark

    Scenario result;
    std::vector<SectionState> sections;
    int lineNo = 0;
    size_t pos = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNo) + ": " + what;
        return false;
    };

    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = trim(line);
        if (t.empty() || t[0] == '#') continue;

        if (t[0] == '[') {
            std::string header = withoutComment(t);
            if (header.empty() || header.back() != ']')
                return fail("a section header looks like [adapter]");
            if (lower(trim(header.substr(1, header.size() - 2))) != "adapter")
                return fail("unknown section " + header + " (only [adapter] exists)");
            if (static_cast<int>(sections.size()) >= kMaxAdapters)
                return fail("more than 8 adapters");
            SectionState s;
            s.section.line = lineNo;
            s.section.index = sections.empty() ? 0 : sections.back().section.index + 1;
            for (int f = 0; f < FieldCount; ++f) s.section.values[f].elements.assign(1, kDefaults[f]);
            sections.push_back(s);
            continue;
        }

        size_t eq = t.find('=');
        if (eq == std::string::npos) return fail("expected 'key = value'");
        std::string key = lower(trim(t.substr(0, eq)));
        std::string value = trim(t.substr(eq + 1));
        if (sections.empty()) return fail("'" + key + "' comes before the first [adapter]");
        SectionState& s = sections.back();

        int slot = -1;
        for (int f = 0; f < FieldCount; ++f)
            if (key == kFieldKeys[f]) slot = f;
        if (key == "index") slot = FieldCount;
        if (key == "description") slot = FieldCount + 1;
        if (key == "id") slot = FieldCount + 2;
        if (slot < 0) return fail("unknown key '" + key + "'");
        if (s.seen[slot]) return fail("'" + key + "' is given twice in this [adapter]");
        s.seen[slot] = true;

        std::string why;
        if (slot < FieldCount) {
            if (!parseTimedValue(value, s.section.values[slot], why)) return fail(key + ": " + why);
        } else if (slot == FieldCount) {  // index
            std::vector<std::string> w = words(withoutComment(value));
            unsigned long n;
            if (w.size() != 1 || !parseElement(w[0], n) || n > static_cast<unsigned long>(kMaxItemIndex))
                return fail("index must be one number from 0 to 31");
            s.section.index = static_cast<int>(n);
        } else if (slot == FieldCount + 1) {  // description: the rest of the line, '#' included
            if (value.size() > kMaxDescription) return fail("description is longer than 127 characters");
            s.section.description = value;
        } else {  // id
            std::vector<std::string> w = words(withoutComment(value));
            if (w.size() != 1) return fail("id must be a single word, e.g. {GUID}");
            if (!validId(w[0], why)) return fail(why);
            s.section.id = w[0];
        }
    }

    for (SectionState& s : sections) {
        AdapterSection& a = s.section;
        lineNo = a.line;
        if (a.index > kMaxItemIndex) return fail("index would be past 31; give an explicit index");
        if (!s.seen[FieldCount + 1]) a.description = defaultDescription(a.index);
        if (!s.seen[FieldCount + 2]) a.id = defaultId(a.index);
        if (result.findByIndex(a.index))
            return fail("another adapter already has index " + std::to_string(a.index));
        if (result.findById(a.id)) return fail("another adapter already has id " + a.id);
        result.adapters.push_back(a);
    }
    out = result;
    error.clear();
    return true;
}

}  // namespace tavro
