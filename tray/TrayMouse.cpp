// Telling a click from a double click and from a held press.
#include "tray/TrayMouse.h"

#include "framework/DialogBase.h"
#include "tray/TrayMessages.h"

#include <cstdlib>

namespace {

const LONG kPointerTolerance = 16;
const int kFirstHoldTick = 2;  // the hold check answers from the second tick after the press

}  // namespace

void CTrayMouse::Press(bool rightButton, bool menuOpen) {
    doubleClickSeen = FALSE;
    rightButtonClick = rightButton;
    StopClickTimer();
    if (!menuOpen) {
        GetCursorPos(&pressPoint);
        clickTimerId = SetTimer(window_.Handle(), CLICK_TIMER, CLICK_DELAY_MS, nullptr);
    }
    holdTicks = 1;
}

void CTrayMouse::DoubleClick() {
    rightButtonClick = FALSE;
    doubleClickSeen = TRUE;
    StopClickTimer();
}

bool CTrayMouse::ClickConfirmed(bool menuOpen) {
    if (!clickTimerId) return false;
    StopClickTimer();
    return NearPressPoint() && !doubleClickSeen && !menuOpen;
}

bool CTrayMouse::HoldConfirmed(bool menuOpen) {
    if (holdTicks == 0) return false;
    if (++holdTicks <= kFirstHoldTick) return false;
    return NearPressPoint() && !doubleClickSeen && !menuOpen;
}

void CTrayMouse::StopClickTimer() { StopTimer(window_.Handle(), clickTimerId); }

bool CTrayMouse::NearPressPoint() const {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return false;
    return std::labs(cursor.x - pressPoint.x) < kPointerTolerance &&
           std::labs(cursor.y - pressPoint.y) < kPointerTolerance;
}
