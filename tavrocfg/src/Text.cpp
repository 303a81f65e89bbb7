// Text as the pages show it (see Text.h).
#include "Text.h"

Text Widen(const char* ascii) {
    Text text;
    for (; *ascii; ++ascii) text += static_cast<char16_t>(static_cast<unsigned char>(*ascii));
    return text;
}

Text Widen(const std::string& ascii) { return Widen(ascii.c_str()); }

Text FieldText(const TAVRONET_WCHAR* field, std::size_t capacity) {
    Text text;
    for (std::size_t i = 0; i < capacity && field[i]; ++i) text += static_cast<char16_t>(field[i]);
    return text;
}

Text NetworkName(const TAVRONET_WCHAR* ssidW, const unsigned char* ssid, unsigned long length) {
    bool hidden = true;
    for (unsigned long i = 0; i < length && i < TAVRONET_SSID_BYTES; ++i) hidden = hidden && ssid[i] == 0;
    if (hidden) return Widen("(hidden network)");
    Text name = FieldText(ssidW, TAVRONET_SSID_CHARS);
    for (char16_t& c : name)
        if (c < 0x20 || c == 0x7F) c = u'?';
    return name;
}

Text Quoted(const Text& name) { return u"\"" + name + u"\""; }
