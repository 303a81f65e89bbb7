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

// How many bytes follow `lead` in the character it begins in `codePage`
// (what GetACP gives): one after a double-byte lead byte, one to three after
// a UTF-8 lead byte, none after any other byte.
inline size_t LaterBytes(unsigned char lead, UINT codePage) {
    if (codePage != CP_UTF8) return IsDBCSLeadByte(lead) ? 1 : 0;
    return lead >= 0xF5 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
}

// The bytes of the character at `p`. A character whose bytes the text does
// not hold in full (a lead byte before the terminator, a UTF-8 sequence cut
// short) counts as its lead byte alone.
inline size_t CharacterBytes(const char* p, UINT codePage) {
    const size_t later = LaterBytes(static_cast<unsigned char>(*p), codePage);
    for (size_t i = 1; i <= later; ++i) {
        const unsigned char next = static_cast<unsigned char>(p[i]);
        if (codePage == CP_UTF8 ? (next & 0xC0) != 0x80 : next == 0) return 1;
    }
    return later + 1;
}

// How many bytes of the terminated `text` fit in `room` bytes without cutting
// a character. A character the text does not hold in full ends what is kept.
inline size_t WholeCharacterBytes(const char* text, size_t room) {
    const UINT codePage = GetACP();
    size_t kept = 0;
    while (text[kept]) {
        const size_t width = CharacterBytes(text + kept, codePage);
        if (kept + width > room) break;
        if (width == 1 && LaterBytes(static_cast<unsigned char>(text[kept]), codePage) > 0) break;
        kept += width;
    }
    return kept;
}

#endif
