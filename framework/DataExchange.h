// Dialog data exchange: one routine per dialog moves its members into the
// controls while the dialog initialises and, checked, back into the members
// when OK is pressed. The first step that fails shows why, puts the focus on
// its control with the text selected, and ends the exchange.
#ifndef FRAMEWORK_DATAEXCHANGE_H
#define FRAMEWORK_DATAEXCHANGE_H

#include <windows.h>

#include <string>

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}

    bool Saving() const { return saving_; }
    // A step failed: the steps after it do nothing.
    bool Failed() const { return failed_; }

    // A text member and its edit, of at most `limit` characters (0: no limit).
    // Loading also sets the edit's text limit; saving refuses longer text.
    void Text(int id, std::string& value, int limit = 0);
    // A check box and its member: 1 when ticked.
    void Check(int id, BOOL& value);

    // The control of the last step, and whether it is an edit.
    HWND LastControl() const { return lastControl_; }
    bool LastIsEdit() const { return lastIsEdit_; }

    // Shows `message` in the application message box, then puts the focus on
    // the control with all its text selected and ends the exchange.
    void Fail(int id, const std::string& message);

private:
    HWND Control(int id, bool edit);

    HWND dialog_;
    bool saving_;
    bool failed_ = false;
    HWND lastControl_ = nullptr;
    bool lastIsEdit_ = false;
};

// A string of the program's string table; empty when there is none.
std::string LoadText(UINT id);
// The text with "%1" replaced by `value`, as the system formats messages.
std::string FormatArgument(const std::string& text, const std::string& value);

#endif
