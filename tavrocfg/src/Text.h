// Text as the pages show it: UTF-16, so that a network's or saved network's
// name shows every character on the NT family (the windows convert it to the
// ANSI code page on 98 and Me). Plain C++, tested on the host.
#ifndef TAVROCFG_TEXT_H
#define TAVROCFG_TEXT_H

#include "TavroNet.h"

#include <cstddef>
#include <string>

typedef std::u16string Text;

// Words of the applet, which are ASCII.
Text Widen(const char* ascii);
Text Widen(const std::string& ascii);
// A terminated field of a record, at most `capacity` characters.
Text FieldText(const TAVRONET_WCHAR* field, std::size_t capacity);
// A network's name in full as a user reads it: "(hidden network)" when its
// bytes are none or all zero, characters below a space as '?'.
Text NetworkName(const TAVRONET_WCHAR* ssidW, const unsigned char* ssid, unsigned long length);
// "NAME" in quotes, as messages name a network.
Text Quoted(const Text& name);

#endif
