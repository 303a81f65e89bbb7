// Names as Windows keeps them and as the applet is given them: a network
// name is raw bytes (often UTF-8, sometimes the bytes of some code page), a
// saved network's name is UTF-16, and the ANSI text of TavroNet.h loses
// what the code page lacks ("日本" and "中国" both become "??" on a Western
// Windows). These rules say what each name shows as and when an ANSI name
// still stands for exactly one saved network.
#ifndef TAVROWLAN_WLANNAMES_H
#define TAVROWLAN_WLANNAMES_H

#include "TavroNet.h"
#include "WlanEntryPoints.h"

#include <stddef.h>

namespace tavrowlan {

// The units of a saved network's name, its terminator included (WLAN_MAX_NAME_LENGTH).
const size_t kNameUnits = 256;

// Well-formed UTF-8 (no overlong form, surrogate or code point past
// U+10FFFF, nothing cut short) into UTF-16 in `out`, `*units` of them; false
// for any other bytes, or when `capacity` units cannot hold them.
bool DecodeUtf8(const unsigned char* bytes, size_t length, TAVRONET_WCHAR* out, size_t capacity, size_t* units);
// A network name for the applet to show, into `out` (`capacity` units,
// terminated): as UTF-8 where its bytes are well-formed UTF-8, as Windows'
// own network list shows it, else in the ANSI code page. A control
// character (a byte below 0x20, or 0x7F) shows as its picture (U+2400 to
// U+2421), so that none cuts the name short or hides in it.
void DecodeSsid(const WlanEntryPoints& api, const unsigned char* bytes, unsigned long length, TAVRONET_WCHAR* out,
                size_t capacity);
// A name Windows gives in UTF-16 (a profile's: at most 255 units before
// its terminator, or none) into `out`, terminated.
void CopyWideName(const WCHAR* name, TAVRONET_WCHAR* out);
// Whether two names in UTF-16, each terminated within kNameUnits, are the same.
bool SameWideName(const WCHAR* a, const TAVRONET_WCHAR* b);
// `wide` in the ANSI code page into `ansi` (`capacity` bytes, cut between
// whole characters, always terminated). Returns whether that text is the
// whole name without loss: no character the code page lacks became its
// default character or a look-alike, and nothing was cut.
bool AnsiName(const WlanEntryPoints& api, const WCHAR* wide, char* ansi, size_t capacity);

}  // namespace tavrowlan

#endif
