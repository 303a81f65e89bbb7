// The applet-facing interface (TavroNet.h) over the Native Wifi API: one
// function for each export, taking the session (and through it the table
// of WLAN calls) so that host tests run them on a fake of the WLAN service,
// and the pure rules they read the service's records with. Every function
// frees the memory the service hands out before it returns, and returns the
// service's error code unchanged, so that the applet shows Windows' reason.
#ifndef TAVROWLAN_WLANNET_H
#define TAVROWLAN_WLANNET_H

#include "WlanMapping.h"
#include "WlanNames.h"
#include "common/SizedRecords.h"

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
unsigned long NetMoveProfileW(WlanSession& session, const char* adapterId, const TAVRONET_WCHAR* name,
                              unsigned long position);
unsigned long NetDeleteProfileW(WlanSession& session, const char* adapterId, const TAVRONET_WCHAR* name);
unsigned long NetGetConnectStatus(WlanSession& session, const char* adapterId, TAVRONET_CONNECT_STATUS* status);
unsigned long NetGetReasonText(WlanSession& session, unsigned long reason, TAVRONET_WCHAR* text,
                               unsigned long capacity);

// ---- shared by the functions above ----
// The interface the identifier names: one the library already reads, or
// one the service lists now. ERROR_NOT_FOUND for any other.
DWORD FindInterface(WlanSession& session, const char* adapterId, GUID* guid);
// A saved network as a change names it: by its ANSI text (`ansi`) or by its
// name in full (`wide`), one of them set.
struct ProfileName {
    const char* ansi;
    const TAVRONET_WCHAR* wide;
};
// The saved network of the interface that `name` reaches: its name as
// Windows keeps it into `found` (kNameUnits), and the number of saved
// networks into `count`. By its name in full exactly; by ANSI text only
// when one saved network's name converts to exactly that text without
// loss: ERROR_NO_UNICODE_TRANSLATION when the text is a lossy one's or
// several share it, ERROR_NOT_FOUND when none has it.
DWORD FindProfile(WlanSession& session, const GUID& guid, const ProfileName& name, WCHAR* found, DWORD* count);

// ---- the rules, without the service ----
// Whether two entries of the available network list are the same network:
// the same name, kind and security (the service lists a network once for
// each of its saved networks and once without; another security is another
// network, even of the same name).
bool SameNetwork(const WLAN_AVAILABLE_NETWORK& a, const WLAN_AVAILABLE_NETWORK& b);
// The cipher of an available network; a secured one is never shown as open
// (none): its cipher is then unknown.
unsigned long NetworkCipher(const WLAN_AVAILABLE_NETWORK& network);
// The identifier GetAdapterID gives, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// in either case, back to its GUID; false for any other text.
bool ParseInterfaceId(const char* text, GUID* guid);
// A channel's centre frequency in kHz to its number at 2.4, 5 or 6 GHz
// (5935 MHz is 6 GHz's channel 2); 0 when none.
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
