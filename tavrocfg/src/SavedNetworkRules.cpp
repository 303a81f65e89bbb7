// The Advanced Configuration page's rules (see SavedNetworkRules.h).
#include "SavedNetworkRules.h"

#include "Rules.h"

namespace {

bool ByPolicy(const TAVRONET_PROFILE& profile) { return (profile.flags & TAVRONET_PROFILE_GROUP_POLICY) != 0; }

}  // namespace

std::vector<Text> SavedNetworkRow(const TAVRONET_PROFILE& profile, int index) {
    char position[16], security[64];
    FormatNumber(position, sizeof position, static_cast<unsigned long>(index + 1));
    SecurityText(security, sizeof security, profile.authentication, profile.cipher);
    const char* kind = ByPolicy(profile)                             ? "Group policy"
                       : (profile.flags & TAVRONET_PROFILE_PER_USER) ? "This user"
                                                                     : "All users";
    return {Widen(position), FieldText(profile.nameW, TAVRONET_NAME_CHARS), Widen(security), Widen(kind)};
}

SavedNetworkButtons ButtonsFor(const std::vector<TAVRONET_PROFILE>& profiles, int row) {
    const int count = static_cast<int>(profiles.size());
    if (row < 0 || row >= count) return {false, false, false, ""};
    // Windows keeps the saved networks of a group policy first and lets only
    // the policy change them.
    if (ByPolicy(profiles[row])) return {false, false, false, "Set by a group policy: only the policy can change it."};
    const bool belowPolicy = row > 0 && ByPolicy(profiles[row - 1]);
    return {row > 0 && !belowPolicy, row + 1 < count, true,
            belowPolicy ? "Saved networks set by a group policy stay first." : ""};
}
