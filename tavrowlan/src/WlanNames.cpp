// What a name shows as: network names decoded as Windows' own list decodes
// them, saved networks' names kept whole in UTF-16, and their ANSI text
// told apart from a lossy one.
#include "WlanNames.h"

#include "common/Mbcs.h"

#include <string.h>

namespace tavrowlan {

namespace {

// The pictures of the control characters: U+2400 for NUL to U+241F, and U+2421 for DEL.
const TAVRONET_WCHAR kControlPictures = 0x2400;
const TAVRONET_WCHAR kDeletePicture = 0x2421;

bool Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the UTF-8 sequence at `p` (`left` bytes remain) and its
// length in `*used`; false for a sequence that is not well-formed.
bool NextCodePoint(const unsigned char* p, size_t left, unsigned long* codePoint, size_t* used) {
    const unsigned char lead = p[0];
    size_t later;
    unsigned long least;  // the smallest code point the length may carry
    if (lead < 0x80) {
        *codePoint = lead;
        *used = 1;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
        later = 1, least = 0x80, *codePoint = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        later = 2, least = 0x800, *codePoint = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        later = 3, least = 0x10000, *codePoint = lead & 0x07;
    else
        return false;
    if (later >= left) return false;
    for (size_t i = 1; i <= later; ++i) {
        if (!Continuation(p[i])) return false;
        *codePoint = *codePoint << 6 | (p[i] & 0x3F);
    }
    *used = later + 1;
    const bool surrogate = *codePoint >= 0xD800 && *codePoint <= 0xDFFF;
    return *codePoint >= least && *codePoint <= 0x10FFFF && !surrogate;
}

// The units of a name up to its terminator, at most kNameUnits - 1 of them, terminated.
template <typename Unit>
void CopyName(const WCHAR* name, Unit* out) {
    size_t i = 0;
    for (; i + 1 < kNameUnits && name[i]; ++i) out[i] = static_cast<Unit>(name[i]);
    out[i] = 0;
}

TAVRONET_WCHAR Visible(TAVRONET_WCHAR unit) {
    if (unit < 0x20) return static_cast<TAVRONET_WCHAR>(kControlPictures + unit);
    return unit == 0x7F ? kDeletePicture : unit;
}

}  // namespace

bool DecodeUtf8(const unsigned char* bytes, size_t length, TAVRONET_WCHAR* out, size_t capacity, size_t* units) {
    *units = 0;
    for (size_t at = 0; at < length;) {
        unsigned long codePoint;
        size_t used;
        if (!NextCodePoint(bytes + at, length - at, &codePoint, &used)) return false;
        at += used;
        if (codePoint < 0x10000) {
            if (*units + 1 > capacity) return false;
            out[(*units)++] = static_cast<TAVRONET_WCHAR>(codePoint);
            continue;
        }
        if (*units + 2 > capacity) return false;
        codePoint -= 0x10000;
        out[(*units)++] = static_cast<TAVRONET_WCHAR>(0xD800 + (codePoint >> 10));
        out[(*units)++] = static_cast<TAVRONET_WCHAR>(0xDC00 + (codePoint & 0x3FF));
    }
    return true;
}

void DecodeSsid(const WlanEntryPoints& api, const unsigned char* bytes, unsigned long length, TAVRONET_WCHAR* out,
                size_t capacity) {
    if (length > TAVRONET_SSID_BYTES) length = TAVRONET_SSID_BYTES;
    size_t units = 0;
    if (!DecodeUtf8(bytes, length, out, capacity - 1, &units)) {
        // A byte of the code page is at most one unit.
        WCHAR wide[TAVRONET_SSID_BYTES];
        const int converted = api.MultiByteToWideChar
                                  ? api.MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<LPCSTR>(bytes),
                                                            static_cast<int>(length), wide, TAVRONET_SSID_BYTES)
                                  : 0;
        units = converted > 0 ? static_cast<size_t>(converted) : 0;
        if (units > capacity - 1) units = capacity - 1;
        for (size_t i = 0; i < units; ++i) out[i] = static_cast<TAVRONET_WCHAR>(wide[i]);
    }
    for (size_t i = 0; i < units; ++i) out[i] = Visible(out[i]);
    out[units] = 0;
}

void CopyWideName(const WCHAR* name, TAVRONET_WCHAR* out) { CopyName(name, out); }

bool SameWideName(const WCHAR* a, const TAVRONET_WCHAR* b) {
    for (size_t i = 0; i < kNameUnits; ++i) {
        if (static_cast<TAVRONET_WCHAR>(a[i]) != b[i]) return false;
        if (!b[i]) return true;
    }
    return false;
}

bool AnsiName(const WlanEntryPoints& api, const WCHAR* wide, char* ansi, size_t capacity) {
    ansi[0] = 0;
    if (!api.WideCharToMultiByte) return false;
    WCHAR terminated[kNameUnits];
    CopyName(wide, terminated);
    // With UTF-8 as the ANSI code page (Windows 10 can be set so) Windows
    // takes neither flags nor the used-default flag, and loses nothing.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    char bytes[kNameUnits * 3 + 1];  // up to three bytes a unit, whatever the code page
    if (api.WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, terminated, -1, bytes, sizeof bytes, nullptr,
                                utf8 ? nullptr : &usedDefault) <= 0)
        return false;
    bytes[sizeof bytes - 1] = 0;
    const size_t kept = WholeCharacterBytes(bytes, capacity - 1);
    memcpy(ansi, bytes, kept);
    ansi[kept] = 0;
    return !usedDefault && bytes[kept] == 0;
}

}  // namespace tavrowlan
