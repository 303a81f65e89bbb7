// The applet-facing interface (TavroNet.h) over the Native Wifi API: one
// function for each export, taking the session (and through it the table
// of WLAN calls) so that host tests run them on a fake of the WLAN service,
// and the pure rules they read the service's records with. Every function
// frees the memory the service hands out before it returns, and returns the
// service's error code unchanged, so that the applet shows Windows' reason.
#ifndef TAVROWLAN_WLANNET_H
#define TAVROWLAN_WLANNET_H

#include "WlanMapping.h"

namespace tavrowlan {

// ---- the exports (arguments as TavroNet.h gives them) ----
unsigned long NetGetLink(WlanSession& session, const char* adapterId, TAVRONET_LINK* link);
unsigned long NetGetNetworks(WlanSession& session, const char* adapterId, TAVRONET_NETWORK* networks,
                             unsigned long capacity, unsigned long* count);
unsigned long NetScan(WlanSession& session, const char* adapterId);
unsigned long NetGetScanState(WlanSession& session, const char* adapterId, unsigned long* state);
unsigned long NetConnect(WlanSession& session, const char* adapterId, const TAVRONET_NETWORK* network);
unsigned long NetDisconnect(WlanSession& session, const char* adapterId);
unsigned long NetGetProfiles(WlanSession& session, const char* adapterId, TAVRONET_PROFILE* profiles,
                             unsigned long capacity, unsigned long* count);
unsigned long NetMoveProfile(WlanSession& session, const char* adapterId, const char* name, unsigned long position);
unsigned long NetDeleteProfile(WlanSession& session, const char* adapterId, const char* name);
unsigned long NetGetHistory(WlanSession& session, const char* adapterId, TAVRONET_HISTORY* history);
unsigned long NetGetLibrary(WlanSession& session, const char* adapterId, TAVRONET_LIBRARY* library);

// ---- the rules, without the service ----
// The identifier GetAdapterID gives, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// in either case, back to its GUID; false for any other text.
bool ParseInterfaceId(const char* text, GUID* guid);
// A channel's centre frequency in kHz to its number at 2.4, 5 or 6 GHz; 0 when none.
unsigned long ChannelFromKhz(ULONG kHz);
// The service's PHY, authentication and cipher to TavroNet.h's (its *_UNKNOWN for others).
unsigned long PhyFromDot11(DOT11_PHY_TYPE phy);
unsigned long AuthFromDot11(DOT11_AUTH_ALGORITHM auth);
unsigned long CipherFromDot11(DOT11_CIPHER_ALGORITHM cipher);
// A saved network's settings from its profile text (the XML WlanGetProfile
// gives): network name, kind, automatic connection, authentication, cipher,
// WEP key index and length, 802.1X and its EAP method. The key itself is
// never read: only the length of a key stored unprotected.
void ReadProfileText(const WCHAR* xml, TAVRONET_PROFILE* profile);

}  // namespace tavrowlan

#endif
