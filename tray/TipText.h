// The tooltip of a status icon, composed in the fixed field of the notify-icon
// record: the adapter's description, then on NT 5 and later the speed line
// and the quality line.
#ifndef TRAY_TIPTEXT_H
#define TRAY_TIPTEXT_H

#include <windows.h>

#include <stddef.h>

#include <string>

// `qualityFormat` is the status text; a %d in it takes the quality in percent
// and leaves the whole line out while no quality was read (QUALITY_UNKNOWN).
// The description is what gets cut to fit `size` bytes with the terminator,
// never inside a double-byte character.
void ComposeTip(const std::string& description, bool nt5, DWORD linkQuality, DWORD dot11Rate, const char* qualityFormat,
                char* tip, size_t size);

#endif
