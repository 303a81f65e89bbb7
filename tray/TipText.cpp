#include "tray/TipText.h"

#include "adapter/AdapterSlot.h"
#include "common/Mbcs.h"

#include <cstdio>
#include <cstring>

namespace {

void QualityLine(const char* format, DWORD quality, char* text, size_t size) {
    text[0] = 0;
    if (quality == QUALITY_UNKNOWN && std::strstr(format, "%d")) return;
    const DWORD percent = quality * 100 / QUALITY_FULL;
    std::snprintf(text, size, format, static_cast<int>(percent));
}

void SpeedLine(DWORD quality, DWORD rate, char* text, size_t size) {
    if (quality == 0)
        std::snprintf(text, size, "\n");
    else
        std::snprintf(text, size, "\nSpeed: %1.1f Mbps\n", rate * 0.5);
}

}  // namespace

void ComposeTip(const std::string& description, bool nt5, DWORD linkQuality, DWORD dot11Rate, const char* qualityFormat,
                char* tip, size_t size) {
    char quality[256];
    char speed[64];
    QualityLine(qualityFormat, linkQuality, quality, sizeof quality);
    SpeedLine(linkQuality, dot11Rate, speed, sizeof speed);
    const size_t fixed = nt5 ? std::strlen(speed) + std::strlen(quality) : 0;
    const size_t room = fixed < size - 1 ? size - 1 - fixed : 0;
    const size_t kept = WholeCharacterBytes(description.c_str(), room);
    std::memcpy(tip, description.data(), kept);
    tip[kept] = 0;
    if (nt5) std::snprintf(tip + kept, size - kept, "%s%s", speed, quality);
}
