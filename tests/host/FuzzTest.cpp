// Seeded fuzzing of the two places where outside text meets fixed buffers:
// the tooltip (any description bytes, rate and quality) and the key field
// (typed characters through the filter, pasted text, both checks).
// FUZZ_SEED and FUZZ_INPUTS choose the seed and the number of inputs of each
// target; a failure names the seed and the input, which replay it.
#include "ProgramRun.h"

#include "adapter/AdapterSlot.h"
#include "dialogs/KeyEdit.h"
#include "resource.h"
#include "RcFile.h"
#include "common/Mbcs.h"
#include "tray/TipText.h"

#include <cstring>
#include <random>
#include <set>

namespace {

class FuzzTest : public DesktopTest {
protected:
    const unsigned long seed = Setting("FUZZ_SEED", 20261208);
    const unsigned long inputs = Setting("FUZZ_INPUTS", 1000000);
    std::mt19937 random{static_cast<std::mt19937::result_type>(seed)};

    unsigned Below(unsigned bound) { return std::uniform_int_distribution<unsigned>(0, bound - 1)(random); }
    // Bytes of text as a driver or the clipboard might give them: no terminator
    // inside, lead bytes of double-byte characters often.
    std::string Text(unsigned maxLength, unsigned char lowest) {
        std::string text(Below(maxLength + 1), ' ');
        for (char& c : text) c = static_cast<char>(Below(3) == 0 ? 0x81 + Below(0x1F) : lowest + Below(256 - lowest));
        return text;
    }
};

TEST_F(FuzzTest, TipStaysInItsFieldAndKeepsCharactersWhole) {
    std::set<BYTE> leadBytes;
    for (int b = 0x81; b <= 0x9F; ++b) leadBytes.insert(static_cast<BYTE>(b));
    for (int b = 0xE0; b <= 0xFC; ++b) leadBytes.insert(static_cast<BYTE>(b));
    desk.SetLeadBytes(leadBytes);
    const auto& strings = desk.Resources().strings;
    const int formats[] = {IDS_NOT_LINKED,     IDS_POOR_LINK, IDS_GOOD_LINK,    IDS_FAIR_LINK,
                           IDS_EXCELLENT_LINK, IDS_RADIO_OFF, IDS_FRAME_ERRORS, IDS_RADIO_SWITCH_OFF};
    for (unsigned long input = 0; input < inputs; ++input) {
        // Control characters stay out, so that the description's end shows in the tip.
        const std::string description = Text(300, 0x20);
        // A double-byte code page, or UTF-8.
        desk.SetCodePage(Below(2) ? 932 : CP_UTF8);
        const bool nt5 = Below(2) == 1;
        const DWORD qualities[] = {Below(16), QUALITY_UNKNOWN, static_cast<DWORD>(random())};
        const DWORD quality = qualities[Below(3)];
        const DWORD rate = Below(2) ? Below(1000) : static_cast<DWORD>(random());
        const size_t size = nt5 ? 128 : 64;
        std::vector<char> tip(size);  // exactly the field: a write past it is an AddressSanitizer finding
        ComposeTip(description, nt5, quality, rate, strings.at(formats[Below(8)]).c_str(), tip.data(), size);

        const char* end = static_cast<const char*>(std::memchr(tip.data(), 0, size));
        ASSERT_NE(end, nullptr) << "seed " << seed << " input " << input << ": no terminator in the field";
        // The description's part of the tip ends between two whole characters.
        size_t kept = 0;
        while (kept < description.size() && tip[kept] == description[kept]) ++kept;
        size_t at = 0;
        while (at < kept) {
            const size_t width = CharacterBytes(description.c_str() + at, GetACP());
            ASSERT_FALSE(width == 1 && LaterBytes(static_cast<BYTE>(description[at]), GetACP()) > 0)
                << "seed " << seed << " input " << input << ": half a character kept at " << at;
            at += width;
        }
        ASSERT_EQ(at, kept) << "seed " << seed << " input " << input << ": a character split at " << kept;
    }
}

TEST_F(FuzzTest, AcceptedKeyIsEmptyOrTheWholeLengthOfHexadecimalDigits) {
    const size_t limit = 26;  // 2 x 13 key bytes: the text limit of the key field
    auto isHex = [](char c) { return std::strchr("0123456789abcdefABCDEF", c) && c; };
    for (unsigned long input = 0; input < inputs; ++input) {
        std::string field;
        for (char c : Text(40, 1)) {
            if (static_cast<unsigned char>(c) < 32) {
                if (c == VK_BACK && !field.empty()) field.pop_back();
            } else if (KeyCharacterPasses(c, field, FALSE, 0, 0) && field.size() < limit) {
                field += c;
            }
        }
        for (char c : field) ASSERT_TRUE(isHex(c)) << "seed " << seed << " input " << input << ": typed " << int(c);
        if (Below(2)) field += Text(40, 1).substr(0, limit - field.size());  // pasted, unfiltered

        const bool accepted = KeyLengthAccepted(field, static_cast<int>(limit)) &&
                              HexDigitsAccepted(field, static_cast<int>(std::min(limit, field.size())), 0);
        if (!accepted) continue;
        ASSERT_TRUE(field.empty() || field.size() == limit) << "seed " << seed << " input " << input;
        for (char c : field) ASSERT_TRUE(isHex(c)) << "seed " << seed << " input " << input << ": accepted " << int(c);
    }
}

}  // namespace
