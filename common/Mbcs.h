// Text in the ANSI code page of the system. A character may take more than
// one byte: a lead byte and the byte after it on a double-byte code page, a
// lead byte and its continuation bytes on UTF-8 (code page 65001). Text is cut
// only between whole characters. Shared by the program and the libraries.
#ifndef COMMON_MBCS_H
#define COMMON_MBCS_H

#include <windows.h>

#include <stddef.h>

#ifndef CP_UTF8
#define CP_UTF8 65001
#endif

// The bytes of the character at `p` in `codePage` (what GetACP gives). A byte
// that begins no character of the code page, and a character whose bytes the
// text does not hold in full (a lead byte before the terminator, a UTF-8
// sequence cut short), count as one byte.
inline size_t CharacterBytes(const char* p, UINT codePage) {
    const unsigned char lead = static_cast<unsigned char>(*p);
    if (codePage != CP_UTF8) return IsDBCSLeadByte(lead) && p[1] ? 2 : 1;
    const size_t width = lead >= 0xF5 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
    for (size_t i = 1; i < width; ++i)
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;  // the terminator ends the loop too
    return width;
}

// Whether the byte at `p` begins a character that takes more than one byte
// in `codePage`, whether or not the text holds the rest of it.
inline bool IsLeadByte(const char* p, UINT codePage) {
    const unsigned char lead = static_cast<unsigned char>(*p);
    return codePage == CP_UTF8 ? lead >= 0xC2 && lead < 0xF5 : IsDBCSLeadByte(lead) != FALSE;
}

// How many bytes of the terminated `text` fit in `room` bytes without cutting
// a character. A character the text does not hold in full ends what is kept.
inline size_t WholeCharacterBytes(const char* text, size_t room) {
    const UINT codePage = GetACP();
    size_t kept = 0;
    while (text[kept]) {
        const size_t width = CharacterBytes(text + kept, codePage);
        if (kept + width > room) break;
        if (width == 1 && IsLeadByte(text + kept, codePage)) break;
        kept += width;
    }
    return kept;
}

#endif
