// What the Security page says of how a network is secured, from its
// authentication and cipher and its saved network's settings (never a key).
// Plain C++, tested on the host.
#ifndef TAVROCFG_SECURITYWORDS_H
#define TAVROCFG_SECURITYWORDS_H

#include "Text.h"

struct ProtectionTexts {
    Text authentication, cipher, wepKey, oneX, eap;
};
// `known`: the authentication and cipher were read; `profile`: the saved
// network's settings, null when there is none.
ProtectionTexts ProtectionOf(unsigned long authentication, unsigned long cipher, bool known,
                             const TAVRONET_PROFILE* profile);

#endif
