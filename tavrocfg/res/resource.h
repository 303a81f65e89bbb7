// Resource numbers of TAVROCFG.CPL: the window with its tabs and one
// template per page.
#ifndef TAVROCFG_RESOURCE_H
#define TAVROCFG_RESOURCE_H

// Sizes in dialog units that the layout rules use too: the window, the
// signal graph and the channel chart.
#define APPLET_WIDTH         520
#define APPLET_HEIGHT        250
#define PAGE_WIDTH           496
#define PAGE_HEIGHT          164
#define SIGNAL_GRAPH_WIDTH   484
#define SIGNAL_GRAPH_HEIGHT  48
#define CHANNEL_CHART_WIDTH  484
#define CHANNEL_CHART_HEIGHT 40

#define IDD_APPLET   100
#define IDD_STATUS   101
#define IDD_SURVEY   102
#define IDD_NETWORKS 103
#define IDD_SECURITY 104
#define IDD_VERSION  105
#define IDD_INSTALL  106

// The window around the pages. The page keyword, the adapter identifier and
// description, the system settings line and its button keep their numbers
// from the first applet, for the programs that read the window.
#define IDC_PAGE                 1002
#define IDC_ADAPTER_ID           1003
#define IDC_DESCRIPTION          1004
#define IDC_SYSTEM_SETTINGS      1005
#define IDC_OPEN_SYSTEM_SETTINGS 1006
#define IDC_TABS                 1007
#define IDC_ADAPTER_NOTE         1008

// Network Status.
#define IDC_STATE          1101
#define IDC_NETWORK        1102
#define IDC_ACCESS_POINT   1103
#define IDC_CHANNEL        1104
#define IDC_SIGNAL         1105
#define IDC_TX_RATE        1106
#define IDC_RX_RATE        1107
#define IDC_PHY            1108
#define IDC_SECURITY       1109
#define IDC_MAC            1112
#define IDC_IP_ADDRESS     1113
#define IDC_IP_MASK        1114
#define IDC_GATEWAY        1115
#define IDC_SIGNAL_GRAPH   1116
#define IDC_SIGNAL_SUMMARY 1117

// Site Survey.
#define IDC_SURVEY_LIST   1201
#define IDC_REFRESH       1202
#define IDC_CONNECT       1203
#define IDC_DISCONNECT    1204
#define IDC_SURVEY_STATUS 1205
#define IDC_CHANNEL_CHART 1206
#define IDC_SURVEY_WHY    1207

// Advanced Configuration.
#define IDC_PROFILE_LIST    1301
#define IDC_MOVE_UP         1302
#define IDC_MOVE_DOWN       1303
#define IDC_REMOVE          1304
#define IDC_AUTO_CONFIG     1305
#define IDC_RADIO           1306
#define IDC_PROFILES_STATUS 1307
#define IDC_PROFILE_WHY     1308

// WEP Encryption and Security: the connected network, then the chosen saved network.
#define IDC_LINK_NETWORK   1401
#define IDC_LINK_AUTH      1402
#define IDC_LINK_CIPHER    1403
#define IDC_LINK_WEP       1404
#define IDC_LINK_ONEX      1405
#define IDC_LINK_EAP       1406
#define IDC_PROFILE_COMBO  1407
#define IDC_PROFILE_AUTH   1408
#define IDC_PROFILE_CIPHER 1409
#define IDC_PROFILE_WEP    1410
#define IDC_PROFILE_ONEX   1411
#define IDC_PROFILE_EAP    1412

// Version Information.
#define IDC_VERSION_PROGRAM 1501
#define IDC_VERSION_LIBRARY 1502
#define IDC_VERSION_APPLET  1503
#define IDC_VERSION_HELP    1504
#define IDC_VERSION_DRIVER  1505
#define IDC_VERSION_WLAN    1506
#define IDC_VERSION_WINDOWS 1507

// Installation.
#define IDC_FILE_LIST    1601
#define IDC_RUN_AT_LOGON 1602
#define IDC_NEXT_STEPS   1603

#endif
