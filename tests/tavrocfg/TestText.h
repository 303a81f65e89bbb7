// What the applet's rule tests share: texts as UTF-8 for their messages, and records to feed the rules.
#ifndef TAVROCFG_TESTTEXT_H
#define TAVROCFG_TESTTEXT_H

#include "Text.h"

#include <cstring>
#include <ostream>
#include <string>

// UTF-16 as UTF-8, so that a failing comparison prints readable text.
inline std::string Utf8(const Text& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800)
            out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        else if (c < 0x10000)
            out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        else
            out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                    static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    return out;
}

// Copies a name into a record's UTF-16 field and, as its raw bytes, ASCII only.
inline void SetWide(TAVRONET_WCHAR* field, size_t capacity, const char16_t* text) {
    size_t i = 0;
    for (; text[i] && i + 1 < capacity; ++i) field[i] = text[i];
    field[i] = 0;
}

inline TAVRONET_NETWORK NamedNetwork(const char16_t* name) {
    TAVRONET_NETWORK n = {};
    n.size = sizeof n;
    SetWide(n.ssidW, TAVRONET_SSID_CHARS, name);
    for (size_t i = 0; name[i] && i < TAVRONET_SSID_BYTES; ++i, ++n.ssidLength)
        n.ssid[i] = name[i] < 0x80 ? static_cast<unsigned char>(name[i]) : '?';
    return n;
}

#endif
