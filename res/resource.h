// Resource numbers of ZEVARIDA.EXE. Shared by the program, ZEVARIDA.rc and the tests.
#ifndef ZEVARIDA_RESOURCE_H
#define ZEVARIDA_RESOURCE_H

// Icons
#define IDI_APPLICATION_ICON  128
#define IDI_FRAME_ERRORS_DOWN 136
#define IDI_FRAME_ERRORS      137
#define IDI_LINKED            512
#define IDI_POOR              513
#define IDI_NOT_LINKED        514
#define IDI_RADIO_OFF         515
#define IDI_LINKED_DOWN       516
#define IDI_POOR_DOWN         517
#define IDI_NOT_LINKED_DOWN   518
#define IDI_RADIO_OFF_DOWN    519

// Menu and dialogs
#define IDR_TRAY_MENU      129
#define IDD_STATUS_TRAY    256
#define IDD_PASSWORD       257
#define IDD_REMOVE_ICON    258
#define IDD_ADHOC_NETWORK  259
#define IDD_OTHER_NETWORK  260
#define IDD_ADD_PROFILE    261
#define IDD_RENAME_PROFILE 262
#define IDD_DELETE_PROFILE 263

// Dialog controls
#define IDC_STATIC             (-1)
#define IDC_NETWORK_NAME       1024
#define IDC_PROFILE_NAME       1025
#define IDC_REMOVE_PERMANENTLY 1026
#define IDC_ENCRYPTION_KEY     1032
#define IDC_PROFILE_LIST       1084
#define IDC_PROFILE_NAME_SHOWN 1086

// Menu commands
#define ID_ADVANCED_CONFIGURATION 32768
#define ID_EXIT                   32769
#define ID_COMPUTER_TO_COMPUTER   32770
#define ID_OTHER_NETWORK          32771
#define ID_REMOVE_STATUS_ICON     32772
#define ID_NETWORK_STATUS         32773
#define ID_VERSION_INFORMATION    32774
#define ID_ADD_PROFILE            32775
#define ID_DELETE_PROFILE         32776
#define ID_RENAME_PROFILE         32777
#define ID_RADIO_ON               32778
#define ID_RADIO_OFF              32779
#define ID_DIAGNOSTICS            32780
#define ID_SCAN_WIRELESS_NETWORK  32781
#define ID_WEP_ENCRYPTION         32782
#define ID_SITE_SURVEY            32783
#define ID_SECURITY               32784
#define ID_NETWORK_PROFILES       33024

// Strings
#define IDS_NOT_LINKED         16384
#define IDS_POOR_LINK          16385
#define IDS_GOOD_LINK          16386
#define IDS_FAIR_LINK          16387
#define IDS_EXCELLENT_LINK     16388
#define IDS_TITLE_PORTRAIT     16389
#define IDS_TITLE_LANDSCAPE    16392
#define IDS_INVALID_KEY_LENGTH 16435
#define IDS_ENTER_KEY_LENGTH   16436
#define IDS_INVALID_HEX        16437
#define IDS_ENTER_VALID_HEX    16438
#define IDS_RADIO_OFF          16441
#define IDS_FRAME_ERRORS       16452
#define IDS_RADIO_SWITCH_OFF   16455
#define IDS_HELP_LAUNCH_FAILED 61703
#define IDS_TEXT_TOO_LONG      61716

#endif
