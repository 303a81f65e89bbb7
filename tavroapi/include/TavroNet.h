/* TavroNet.h - the second published interface of TavroApi.DLL: what the
 * configuration applet shows of an adapter (its link in detail, the networks
 * in range, the saved networks and the signal history) and the few changes it
 * makes (scan, connect, disconnect, the order of the saved networks).
 *
 * TavroApi.h, the interface of the tray program, stays as it is; both
 * libraries implement this one beside it. It is plain C:
 *  - every function is exported undecorated with the __stdcall convention,
 *    and callers look it up with GetProcAddress, so that a TavroApi.DLL
 *    without it still serves the tray program;
 *  - every structure begins with its size in bytes, which the caller sets
 *    before the call (for an array, in its first element, and every element
 *    is that size apart); a library fills what fits in that size, so a
 *    structure may grow at its end without breaking older callers;
 *  - every function returns a Windows error code: 0 (ERROR_SUCCESS), or the
 *    system's reason (ERROR_ACCESS_DENIED, ERROR_NOT_SUPPORTED,
 *    ERROR_NOT_FOUND, ERROR_INVALID_PARAMETER, ...), which a caller can show
 *    with FormatMessage;
 *  - an adapter is named by the identifier that CWrapNetAdapter::GetAdapterID
 *    gives; an identifier the library does not know gives ERROR_NOT_FOUND;
 *  - text is ANSI in the system's code page and always terminated; a network
 *    name is kept as its raw bytes with their count, since it may hold any byte.
 *    The ANSI form loses what the code page lacks ("日本" and "中国" both
 *    become "??" on a Western Windows), so each structure that carries a name
 *    also carries it in UTF-16 at its end (the fields ending in W), and the
 *    changes that name a saved network have a form that takes it so;
 *  - functions and fields added after the first eleven functions are marked
 *    "Added:". A caller that finds a function missing, or gets a structure
 *    back with a size that ends before a field, treats it as not known.
 * The library is used on one thread, the tray program's (the applet runs on
 * it), and keeps no pointer the caller passes.
 */
#ifndef TAVRONET_H
#define TAVRONET_H

#if defined(TAVROAPI_BUILD)
#define TAVRONET_API __declspec(dllexport)
#else
#define TAVRONET_API
#endif
#if defined(_WIN32)
#define TAVRONET_CALL __stdcall
#else /* a 32-bit host build of the same code */
#define TAVRONET_CALL __attribute__((stdcall))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define TAVRONET_SSID_BYTES      32
#define TAVRONET_NAME_BYTES      256 /* a saved network's name, terminator included */
#define TAVRONET_VERSION_BYTES   64
#define TAVRONET_HISTORY_SAMPLES 600 /* ten minutes of one-second readings */
#define TAVRONET_NAME_CHARS      256 /* a saved network's name in UTF-16, terminator included */
#define TAVRONET_SSID_CHARS      33  /* a network name decoded to UTF-16, terminator included */
#define TAVRONET_REASON_CHARS    256 /* Windows' words for a reason code, terminator included */

/* Text in UTF-16, as Windows' WCHAR. */
typedef unsigned short TAVRONET_WCHAR;

/* Which fields of a TAVRONET_LINK or TAVRONET_NETWORK the library could read;
 * the others are zero. */
#define TAVRONET_KNOWN_SSID     0x0001
#define TAVRONET_KNOWN_BSSID    0x0002
#define TAVRONET_KNOWN_CHANNEL  0x0004 /* channel and frequencyMHz */
#define TAVRONET_KNOWN_SIGNAL   0x0008 /* signalPercent */
#define TAVRONET_KNOWN_RSSI     0x0010 /* rssiDbm */
#define TAVRONET_KNOWN_TX_RATE  0x0020
#define TAVRONET_KNOWN_RX_RATE  0x0040
#define TAVRONET_KNOWN_PHY      0x0080
#define TAVRONET_KNOWN_SECURITY 0x0100 /* authentication and cipher */
#define TAVRONET_KNOWN_MAC      0x0200 /* the adapter's hardware address */

/* The state of the adapter's link. */
#define TAVRONET_STATE_NOT_CONNECTED 0
#define TAVRONET_STATE_CONNECTED     1
#define TAVRONET_STATE_RADIO_OFF     2 /* off in software: it can be switched on */
#define TAVRONET_STATE_SWITCH_OFF    3 /* the hardware switch is off */

/* The PHY in use or offered. */
#define TAVRONET_PHY_UNKNOWN 0
#define TAVRONET_PHY_B       1 /* 802.11 and 802.11b (DSSS, HR/DSSS) */
#define TAVRONET_PHY_A       2 /* OFDM at 5 GHz */
#define TAVRONET_PHY_G       3 /* ERP at 2.4 GHz */
#define TAVRONET_PHY_N       4 /* HT */
#define TAVRONET_PHY_AC      5 /* VHT */
#define TAVRONET_PHY_AX      6 /* HE */
#define TAVRONET_PHY_BE      7 /* EHT */

/* Authentication. */
#define TAVRONET_AUTH_UNKNOWN  0
#define TAVRONET_AUTH_OPEN     1
#define TAVRONET_AUTH_SHARED   2 /* WEP shared key */
#define TAVRONET_AUTH_WPA      3 /* WPA with 802.1X */
#define TAVRONET_AUTH_WPA_PSK  4
#define TAVRONET_AUTH_WPA2     5 /* WPA2 with 802.1X */
#define TAVRONET_AUTH_WPA2_PSK 6
#define TAVRONET_AUTH_WPA3     7 /* WPA3 with 802.1X */
#define TAVRONET_AUTH_WPA3_SAE 8
#define TAVRONET_AUTH_OWE      9 /* opportunistic wireless encryption */

/* Cipher. */
#define TAVRONET_CIPHER_UNKNOWN 0
#define TAVRONET_CIPHER_NONE    1
#define TAVRONET_CIPHER_WEP     2
#define TAVRONET_CIPHER_TKIP    3
#define TAVRONET_CIPHER_CCMP    4 /* AES */
#define TAVRONET_CIPHER_GCMP    5

/* Kind of network. */
#define TAVRONET_BSS_INFRASTRUCTURE 1
#define TAVRONET_BSS_ADHOC          2

/* Windows' automatic configuration of the adapter. */
#define TAVRONET_AUTOCONFIG_UNKNOWN 0
#define TAVRONET_AUTOCONFIG_ON      1
#define TAVRONET_AUTOCONFIG_OFF     2

/* The adapter's link as it is now. */
typedef struct TAVRONET_LINK {
    unsigned long size;
    unsigned long known;      /* TAVRONET_KNOWN_* */
    unsigned long state;      /* TAVRONET_STATE_* */
    unsigned long ssidLength; /* 0..32 */
    unsigned char ssid[TAVRONET_SSID_BYTES];
    unsigned char bssid[6];      /* the access point's address */
    unsigned char macAddress[6]; /* the adapter's own address */
    unsigned long channel;       /* 1..14 at 2.4 GHz, 32..177 at 5 GHz, ... */
    unsigned long frequencyMHz;  /* 2412, 5180, ... */
    unsigned long signalPercent; /* 0..100 */
    long rssiDbm;                /* -100..0 */
    unsigned long txRateKbps;
    unsigned long rxRateKbps;
    unsigned long phy;                     /* TAVRONET_PHY_* */
    unsigned long authentication;          /* TAVRONET_AUTH_* */
    unsigned long cipher;                  /* TAVRONET_CIPHER_* */
    unsigned long bssType;                 /* TAVRONET_BSS_*, 0 when not connected */
    unsigned long autoConfig;              /* TAVRONET_AUTOCONFIG_* */
    unsigned long locationDenied;          /* 1: Windows refused the connection's details, the
                                      networks or a scan of this adapter until the user
                                      allows location access (Windows 11 24H2 and later),
                                      and allowed none of them since */
    char profileName[TAVRONET_NAME_BYTES]; /* the saved network in use; "" if none or not known */
    /* Added: the names in full. ssidW is the network name decoded (as UTF-8
     * where its bytes are valid UTF-8, else in the system's ANSI code page),
     * terminated; profileNameW is the saved network's name as Windows keeps it. */
    TAVRONET_WCHAR ssidW[TAVRONET_SSID_CHARS];
    TAVRONET_WCHAR profileNameW[TAVRONET_NAME_CHARS];
} TAVRONET_LINK;

/* One network in range: all its access points with the same name, kind and
 * security (Windows lists a name once for each saved network and once
 * without; networks of the same name but another security stay apart, and a
 * secured one is never shown as open). */
#define TAVRONET_NETWORK_CONNECTED       0x0001 /* the adapter is connected to it */
#define TAVRONET_NETWORK_HAS_PROFILE     0x0002 /* a saved network exists for it */
#define TAVRONET_NETWORK_NOT_CONNECTABLE 0x0004 /* Added: Windows says it cannot be joined (notConnectableReason) */
typedef struct TAVRONET_NETWORK {
    unsigned long size;
    unsigned long known;      /* TAVRONET_KNOWN_* */
    unsigned long ssidLength; /* 0: a hidden network */
    unsigned char ssid[TAVRONET_SSID_BYTES];
    unsigned long signalPercent; /* of its strongest access point */
    long rssiDbm;                /* of its strongest access point */
    unsigned long channel;       /* of its strongest access point */
    unsigned long frequencyMHz;
    unsigned long phy;
    unsigned long authentication;
    unsigned long cipher;
    unsigned long bssType;
    unsigned long accessPoints;            /* how many were seen; 0 when the system cannot tell */
    unsigned long flags;                   /* TAVRONET_NETWORK_* */
    char profileName[TAVRONET_NAME_BYTES]; /* its saved network; "" if none */
    /* Added: why Windows cannot join it (a WLAN_REASON_CODE, words from
     * TavroNetGetReasonText), 0 when it can; and the names in full, as in
     * TAVRONET_LINK. TavroNetConnect takes the saved network by profileNameW
     * when the caller's size reaches it and it is not empty. */
    unsigned long notConnectableReason;
    TAVRONET_WCHAR ssidW[TAVRONET_SSID_CHARS];
    TAVRONET_WCHAR profileNameW[TAVRONET_NAME_CHARS];
} TAVRONET_NETWORK;

/* One saved network (a profile), as its settings say; never its key. */
#define TAVRONET_PROFILE_GROUP_POLICY 0x0001 /* set by a group policy: cannot be changed here */
#define TAVRONET_PROFILE_PER_USER     0x0002 /* the current user's own, not all users' */
#define TAVRONET_PROFILE_AUTO_CONNECT 0x0004 /* connects on its own when in range */
typedef struct TAVRONET_PROFILE {
    unsigned long size;
    char name[TAVRONET_NAME_BYTES];
    unsigned long ssidLength;
    unsigned char ssid[TAVRONET_SSID_BYTES];
    unsigned long flags; /* TAVRONET_PROFILE_* */
    unsigned long bssType;
    unsigned long authentication;
    unsigned long cipher;
    unsigned long wepKeyIndex; /* 1..4 where WEP is used, else 0 */
    unsigned long wepKeyBits;  /* 40 or 104 where WEP is used and the length is known, else 0 */
    unsigned long oneX;        /* 1: 802.1X is used */
    unsigned long eapType;     /* the EAP method's type number (13 TLS, 21 TTLS, 25 PEAP, ...), 0 none */
    /* Added: the names in full, as in TAVRONET_LINK; nameW is how the changes
     * with a W name this saved network. */
    TAVRONET_WCHAR ssidW[TAVRONET_SSID_CHARS];
    TAVRONET_WCHAR nameW[TAVRONET_NAME_CHARS];
} TAVRONET_PROFILE;

/* One reading of the signal, made by the tray program's one-second poll. */
typedef struct TAVRONET_SAMPLE {
    unsigned long tick;          /* GetTickCount when it was read */
    unsigned char linked;        /* 1: the adapter was connected */
    unsigned char signalPercent; /* 0..100 */
    short rssiDbm;               /* 0 when not known */
} TAVRONET_SAMPLE;

/* The readings of the last ten minutes, oldest first. */
typedef struct TAVRONET_HISTORY {
    unsigned long size;
    unsigned long count; /* samples filled */
    unsigned long now;   /* GetTickCount when the history was copied */
    TAVRONET_SAMPLE samples[TAVRONET_HISTORY_SAMPLES];
} TAVRONET_HISTORY;

/* What the library is and what it runs on. */
#define TAVRONET_KIND_SIMULATOR 1
#define TAVRONET_KIND_WLAN      2 /* real adapters, over the Native Wifi API */
typedef struct TAVRONET_LIBRARY {
    unsigned long size;
    unsigned long kind;                         /* TAVRONET_KIND_* */
    unsigned long wlanApiVersion;               /* the WLAN client version agreed (1 XP, 2 Vista and later), 0 none */
    char driverVersion[TAVRONET_VERSION_BYTES]; /* of the adapter's driver, "" when not known */
    unsigned long flags;                        /* Added: TAVRONET_LIBRARY_* */
} TAVRONET_LIBRARY;
/* On this system a disconnect turns the saved network in use into one that
 * connects only when asked: it never connects on its own again (XP). */
#define TAVRONET_LIBRARY_DISCONNECT_STOPS_AUTO 0x0001

/* Scan states. */
#define TAVRONET_SCAN_DONE    0 /* no scan running: the list is as fresh as it gets */
#define TAVRONET_SCAN_PENDING 1

/* Added: how the last connect or disconnect asked of an adapter went. Both
 * return as soon as Windows has taken the request; the outcome comes later,
 * on a thread of the WLAN service, and is kept here until the next request. */
#define TAVRONET_CONNECT_NONE          0 /* nothing asked since the library was loaded */
#define TAVRONET_CONNECT_CONNECTING    1
#define TAVRONET_CONNECT_CONNECTED     2
#define TAVRONET_CONNECT_FAILED        3 /* reason tells why */
#define TAVRONET_CONNECT_DISCONNECTING 4
#define TAVRONET_CONNECT_DISCONNECTED  5
typedef struct TAVRONET_CONNECT_STATUS {
    unsigned long size;
    unsigned long sequence;   /* one more for each connect or disconnect asked, 0 none */
    unsigned long state;      /* TAVRONET_CONNECT_* */
    unsigned long reason;     /* a WLAN_REASON_CODE when FAILED (TavroNetGetReasonText), else 0 */
    unsigned long ssidLength; /* the network asked for */
    unsigned char ssid[TAVRONET_SSID_BYTES];
    TAVRONET_WCHAR ssidW[TAVRONET_SSID_CHARS];
    TAVRONET_WCHAR profileNameW[TAVRONET_NAME_CHARS];
} TAVRONET_CONNECT_STATUS;

/* The link of the adapter now. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLink(const char* adapterId, TAVRONET_LINK* link);
/* The networks in range: up to `capacity` into `networks`; `*count` receives
 * how many there are, which may be more than were written. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetNetworks(const char* adapterId, TAVRONET_NETWORK* networks,
                                                             unsigned long capacity, unsigned long* count);
/* Asks the adapter to scan and returns at once; TavroNetGetScanState tells when it is done.
 * ERROR_ACCESS_DENIED with the link's locationDenied set: Windows wants the
 * user's location consent first (the settings page ms-settings:privacy-location).
 * A scan that Windows took and then failed answers TavroNetGetScanState, once
 * done and until the next scan, with Windows' reason for it: a WLAN_REASON_CODE
 * (words from TavroNetGetReasonText), which is 0x10000 or more, where every
 * error code is below. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetScan(const char* adapterId);
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetScanState(const char* adapterId, unsigned long* state);
/* Connects to a network of the list (by its saved network, or as an open one), or disconnects. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetConnect(const char* adapterId, const TAVRONET_NETWORK* network);
TAVRONET_API unsigned long TAVRONET_CALL TavroNetDisconnect(const char* adapterId);
/* The saved networks in their order of preference, as TavroNetGetNetworks counts. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetProfiles(const char* adapterId, TAVRONET_PROFILE* profiles,
                                                             unsigned long capacity, unsigned long* count);
/* Moves a saved network to `position` (0 first) in the order, or removes it. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfile(const char* adapterId, const char* name,
                                                             unsigned long position);
TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfile(const char* adapterId, const char* name);
/* The signal readings of the last ten minutes. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetHistory(const char* adapterId, TAVRONET_HISTORY* history);
/* The library's kind, the WLAN API version and the adapter's driver version
 * (adapterId may be null or unknown: the driver version is then ""). */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLibrary(const char* adapterId, TAVRONET_LIBRARY* library);

/* Added: the changes of a saved network named by its name in full
 * (TAVRONET_PROFILE.nameW). The ANSI forms above reach a saved network only
 * when its name converts to that text without loss; a name that does not
 * (or that two saved networks share in ANSI) gives ERROR_NO_UNICODE_TRANSLATION,
 * never a change of another saved network. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfileW(const char* adapterId, const TAVRONET_WCHAR* name,
                                                              unsigned long position);
TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfileW(const char* adapterId, const TAVRONET_WCHAR* name);
/* Added: the outcome of the last connect or disconnect (see above). */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetConnectStatus(const char* adapterId,
                                                                  TAVRONET_CONNECT_STATUS* status);
/* Added: Windows' words for a WLAN_REASON_CODE ("The network is not
 * available.", ...), terminated and cut to `capacity` characters;
 * ERROR_NOT_FOUND when the system has no words for it. */
TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetReasonText(unsigned long reason, TAVRONET_WCHAR* text,
                                                               unsigned long capacity);

/* The same functions as pointer types, for GetProcAddress. */
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_LINK)(const char*, TAVRONET_LINK*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_NETWORKS)(const char*, TAVRONET_NETWORK*, unsigned long,
                                                            unsigned long*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_SCAN)(const char*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_SCAN_STATE)(const char*, unsigned long*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_CONNECT)(const char*, const TAVRONET_NETWORK*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_DISCONNECT)(const char*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_PROFILES)(const char*, TAVRONET_PROFILE*, unsigned long,
                                                            unsigned long*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_MOVE_PROFILE)(const char*, const char*, unsigned long);
typedef unsigned long(TAVRONET_CALL* TAVRONET_DELETE_PROFILE)(const char*, const char*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_HISTORY)(const char*, TAVRONET_HISTORY*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_LIBRARY)(const char*, TAVRONET_LIBRARY*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_MOVE_PROFILE_W)(const char*, const TAVRONET_WCHAR*, unsigned long);
typedef unsigned long(TAVRONET_CALL* TAVRONET_DELETE_PROFILE_W)(const char*, const TAVRONET_WCHAR*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_CONNECT_STATUS)(const char*, TAVRONET_CONNECT_STATUS*);
typedef unsigned long(TAVRONET_CALL* TAVRONET_GET_REASON_TEXT)(unsigned long, TAVRONET_WCHAR*, unsigned long);

#ifdef __cplusplus
}
#endif

#endif
