// What the Security page says of how a network is secured (see SecurityWords.h).
#include "SecurityWords.h"

#include "Rules.h"
#include "StatusWords.h"

namespace {

Text WordOr(const char* word, bool known) { return Widen(known && *word ? word : kNotAvailable); }

}  // namespace

ProtectionTexts ProtectionOf(unsigned long authentication, unsigned long cipher, bool known,
                             const TAVRONET_PROFILE* profile) {
    ProtectionTexts t;
    t.authentication = WordOr(AuthenticationName(authentication), known);
    t.cipher = WordOr(CipherName(cipher), known);
    if (!profile) {
        t.wepKey = t.oneX = t.eap = Widen(kNotAvailable);
        return t;
    }
    char text[64], number[16];
    if (!UsesWep(profile->authentication, profile->cipher)) {
        t.wepKey = Widen("Not used");
    } else {
        FormatNumber(number, sizeof number, profile->wepKeyIndex);
        t.wepKey = u"Key " + Widen(number);
        FormatNumber(number, sizeof number, profile->wepKeyBits);
        t.wepKey += profile->wepKeyBits ? u", " + Widen(number) + u" bits" : Widen(", length not known");
    }
    t.oneX = Widen(profile->oneX ? "Used" : "Not used");
    EapMethodName(text, sizeof text, profile->eapType);
    t.eap = Widen(!profile->oneX ? "Not used" : *text ? text : kNotAvailable);
    return t;
}
