// Text in the ANSI code page of the system, which may hold double-byte
// characters: a lead byte and the byte after it form one character.
#ifndef FRAMEWORK_MBCS_H
#define FRAMEWORK_MBCS_H

#include <windows.h>

#include <stddef.h>

// The bytes of the character at `p`: two for a lead byte followed by a second
// byte, else one. A lead byte just before the terminator stands alone.
inline size_t CharacterBytes(const char* p) { return IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? 2 : 1; }

#endif
