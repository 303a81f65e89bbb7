#include "app/Broadcast.h"

void BroadcastRegisteredMessage(const char* name) {
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA(name), 0, 0, SMTO_ABORTIFHUNG, BROADCAST_WAIT_MS,
                        &unused);
}
