// The click and hold tracking of the tray icons. A press starts the click
// timer, which answers it half a second later as a single click when the
// pointer is still near the press point and no double click came; a button
// held over the icon is answered by the poll tick from the second tick after
// the press. Either answer is a menu request, which the window handles.
#ifndef TRAY_TRAYMOUSE_H
#define TRAY_TRAYMOUSE_H

#include <windows.h>

class CDialogBase;

class CTrayMouse {
public:
    // The click timer is a timer of `window`, the tray window.
    explicit CTrayMouse(const CDialogBase& window) : window_(window) {}

    // A press on an icon. While a menu request is being handled the press
    // neither records its point nor starts the click timer.
    void Press(bool rightButton, bool menuOpen);
    void Release() { holdTicks = 0; }
    // A double click cancels the click timer and blocks both menu requests.
    void DoubleClick();

    // The click timer fired: true when it confirms a single click. It fires
    // at most once per press.
    bool ClickConfirmed(bool menuOpen);
    // Once per poll tick: true when a button held since before the last tick
    // asks for the menu. Only a press or a release ends the counting.
    bool HoldConfirmed(bool menuOpen);
    void StopClickTimer();

    bool ButtonHeld() const { return holdTicks != 0; }
    bool RightButtonClick() const { return rightButtonClick != FALSE; }

private:
    bool NearPressPoint() const;

    const CDialogBase& window_;
    UINT_PTR clickTimerId = 0;  // 0: not running
    int holdTicks = 0;          // poll ticks since the press, from 1; 0: no button held
    BOOL doubleClickSeen = FALSE;
    BOOL rightButtonClick = FALSE;  // the last press was of the right button
    POINT pressPoint = {0, 0};      // the cursor at the last press
};

#endif
