// The shell's notification-area interface, as the program uses it, for the host
// build. The record keeps its 32-bit Windows layout: the first 88 bytes are the
// original record, the first 488 the one with the 128-byte tip.
#ifndef SIMDESK_SHELLAPI_H
#define SIMDESK_SHELLAPI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _GUID {
    unsigned long Data1;
    unsigned short Data2;
    unsigned short Data3;
    unsigned char Data4[8];
} GUID;

typedef struct _NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    union {
        UINT uTimeout;
        UINT uVersion;
    };
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    HICON hBalloonIcon;
} NOTIFYICONDATAA, *PNOTIFYICONDATAA;

#define NOTIFYICONDATAA_V1_SIZE offsetof(NOTIFYICONDATAA, szTip[64])
#define NOTIFYICONDATAA_V2_SIZE offsetof(NOTIFYICONDATAA, guidItem)

#define NIM_ADD    0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002

#define NIF_MESSAGE 0x00000001
#define NIF_ICON    0x00000002
#define NIF_TIP     0x00000004

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);

#ifdef __cplusplus
}
#endif

#endif
