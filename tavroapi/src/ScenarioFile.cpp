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

#include "ScenarioText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace tavro {

const char* const kFieldKeys[FieldCount] = {
    "present", "attach", "radio",     "network_type",        "adapter_state",
    "quality", "rate",   "wep_rx_ok", "network_type_in_use", "driver_version",
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

unsigned long TimedValue::At(unsigned long elapsedMs) const {
    if (elements.empty()) return 0;
    if (elements.size() == 1 || periodMs == 0) return elements[0];
    return elements[(elapsedMs / periodMs) % elements.size()];
}

const AdapterSection* Scenario::FindById(const std::string& id) const {
    for (const AdapterSection& a : adapters)
        if (a.id == id) return &a;
    return nullptr;
}

const AdapterSection* Scenario::FindByIndex(int index) const {
    for (const AdapterSection& a : adapters)
        if (a.index == index) return &a;
    return nullptr;
}

namespace {

bool ValidId(const std::string& id, std::string& why) {
    if (id.empty()) {
        why = "the identifier is empty";
        return false;
    }
    if (id.size() > kMaxId) {
        why = "the identifier is longer than 255 characters";
        return false;
    }
    for (char c : id) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == ' ' || c == '\\') {
            why = "the identifier may not hold spaces, backslashes or control characters";
            return false;
        }
    }
    return true;
}

// The index as two upper-case hexadecimal digits at the end of a fixed
// identifier; written by hand, since the C library's printf would be the
// largest part of the library.
std::string DefaultId(int index) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string id = "{7A5E0D11-0000-4000-8000-0000000000XX}";
    id[35] = kDigits[(index >> 4) & 0xF];
    id[36] = kDigits[index & 0xF];
    return id;
}

std::string DefaultDescription(int index) { return "Wireless LAN Adapter " + std::to_string(index); }

struct SectionState {
    AdapterSection section;
    bool seen[FieldCount + 3] = {};  // fields, then index, description, id
};

// The kinds of section a scenario has.
enum SectionKind { NoSection, AdapterKind, NetworkKind, ProfileKind };

SectionKind KindOfSection(const std::string& name) {
    if (name == "adapter") return AdapterKind;
    if (name == "network") return NetworkKind;
    if (name == "profile") return ProfileKind;
    return NoSection;
}

// Gives the reason a value is wrong, as the key readers return it.
int Wrong(std::string& why, const std::string& reason) {
    why = reason;
    return -1;
}

// Reads one key of an [adapter]: 1 read, 0 unknown, -1 wrong with `why`.
int ParseAdapterKey(const std::string& key, const std::string& value, SectionState& s, std::string& why) {
    int slot = -1;
    for (int f = 0; f < FieldCount; ++f)
        if (key == kFieldKeys[f]) slot = f;
    if (key == "index") slot = FieldCount;
    if (key == "description") slot = FieldCount + 1;
    if (key == "id") slot = FieldCount + 2;
    if (slot < 0) return ParseLinkKey(key, value, s.section.link, why);
    s.seen[slot] = true;

    if (slot < FieldCount) {
        if (!ParseTimedValue(value, s.section.values[slot], why)) return Wrong(why, key + ": " + why);
    } else if (slot == FieldCount) {  // index
        std::vector<std::string> w = Words(WithoutComment(value));
        unsigned long n;
        if (w.size() != 1 || !ParseElement(w[0], n) || n > static_cast<unsigned long>(kMaxItemIndex))
            return Wrong(why, "index must be one number from 0 to 31");
        s.section.index = static_cast<int>(n);
    } else if (slot == FieldCount + 1) {  // description: the rest of the line, '#' included
        if (value.size() > kMaxDescription) return Wrong(why, "description is longer than 127 characters");
        s.section.description = value;
    } else {  // id
        std::vector<std::string> w = Words(WithoutComment(value));
        if (w.size() != 1) return Wrong(why, "id must be a single word, e.g. {GUID}");
        if (!ValidId(w[0], why)) return -1;
        s.section.id = w[0];
    }
    return 1;
}

// Checks the last [network] or [profile] when the next section begins or the file ends.
bool CloseSection(SectionKind kind, Scenario& result, std::string& why) {
    if (kind == NetworkKind) return CompleteNetwork(result.networks.back(), why);
    if (kind != ProfileKind) return true;
    ProfileSection& p = result.profiles.back();
    if (!CompleteProfile(p, why)) return false;
    for (size_t i = 0; i + 1 < result.profiles.size(); ++i)
        if (result.profiles[i].name == p.name) why = "another [profile] is named " + p.name;
    return why.empty();
}

}  // namespace

bool ParseScenario(const std::string& input, Scenario& out, std::string& error) {
    out = Scenario();
    std::string text = input;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // UTF-8 mark

    Scenario result;
    std::vector<SectionState> sections;
    SectionKind kind = NoSection;
    int sectionLine = 0;
    std::vector<std::string> seenKeys;
    int lineNo = 0;
    size_t pos = 0;
    std::string why;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNo) + ": " + what;
        return false;
    };
    auto failSection = [&](const std::string& what) {  // a problem of the section as a whole
        lineNo = sectionLine;
        return fail(what);
    };

    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = Trim(line);
        if (t.empty() || t[0] == '#') continue;

        if (t[0] == '[') {
            std::string header = WithoutComment(t);
            if (header.empty() || header.back() != ']') return fail("a section header looks like [adapter]");
            SectionKind next = KindOfSection(Lower(Trim(header.substr(1, header.size() - 2))));
            if (next == NoSection)
                return fail("unknown section " + header + " (there are [adapter], [network] and [profile])");
            if (!CloseSection(kind, result, why)) return failSection(why);
            kind = next;
            sectionLine = lineNo;
            seenKeys.clear();
            if (kind == NetworkKind) {
                if (static_cast<int>(result.networks.size()) >= kMaxNetworks) return fail("more than 1000 networks");
                result.networks.push_back(NetworkSection());
                result.networks.back().line = lineNo;
                continue;
            }
            if (kind == ProfileKind) {
                if (static_cast<int>(result.profiles.size()) >= kMaxProfiles) return fail("more than 100 profiles");
                result.profiles.push_back(ProfileSection());
                result.profiles.back().line = lineNo;
                continue;
            }
            if (static_cast<int>(sections.size()) >= kMaxAdapters) return fail("more than 8 adapters");
            SectionState s;
            s.section.line = lineNo;
            s.section.index = sections.empty() ? 0 : sections.back().section.index + 1;
            for (int f = 0; f < FieldCount; ++f) s.section.values[f].elements.assign(1, kDefaults[f]);
            sections.push_back(s);
            continue;
        }

        size_t eq = t.find('=');
        if (eq == std::string::npos) return fail("expected 'key = value'");
        std::string key = Lower(Trim(t.substr(0, eq)));
        std::string value = Trim(t.substr(eq + 1));
        if (kind == NoSection) return fail("'" + key + "' comes before the first section");
        const char* name = kind == AdapterKind ? "[adapter]" : kind == NetworkKind ? "[network]" : "[profile]";
        for (const std::string& k : seenKeys)
            if (k == key) return fail("'" + key + "' is given twice in this " + name);
        seenKeys.push_back(key);

        why.clear();
        int read = kind == AdapterKind   ? ParseAdapterKey(key, value, sections.back(), why)
                   : kind == NetworkKind ? ParseNetworkKey(key, value, result.networks.back(), why)
                                         : ParseProfileKey(key, value, result.profiles.back(), why);
        if (read == 0) return fail("unknown key '" + key + "' in " + name);
        if (read < 0) return fail(why);
    }
    if (!CloseSection(kind, result, why)) return failSection(why);

    for (SectionState& s : sections) {
        AdapterSection& a = s.section;
        lineNo = a.line;
        if (a.index > kMaxItemIndex) return fail("index would be past 31; give an explicit index");
        if (!s.seen[FieldCount + 1]) a.description = DefaultDescription(a.index);
        if (!s.seen[FieldCount + 2]) a.id = DefaultId(a.index);
        if (result.FindByIndex(a.index)) return fail("another adapter already has index " + std::to_string(a.index));
        if (result.FindById(a.id)) return fail("another adapter already has id " + a.id);
        result.adapters.push_back(a);
    }
    out = result;
    error.clear();
    return true;
}

}  // namespace tavro
