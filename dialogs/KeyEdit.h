// The hexadecimal key field of the network dialogs, and the two checks of a
// key when the user confirms it.
#ifndef DIALOGS_KEYEDIT_H
#define DIALOGS_KEYEDIT_H

#include "framework/SubclassedWindow.h"

#include <string>

class CDataExchange;

// An edit that lets only hexadecimal digits through as they are typed. Pasted
// text is not filtered here; the checks on OK see it.
class CKeyEdit : public CSubclassedWindow {
public:
    // Stores the options, makes `separatorChar` the process's key separator
    // and attaches to the dialog's edit `id`.
    bool Setup(BOOL strict, int id, HWND parent, char separator, char prefix);

    BOOL strictPunctuation = FALSE;  // every punctuation character is refused, the separator too
    char separatorChar = 0;          // the one punctuation character let through; 0: none
    char prefixChar = 0;             // a text that begins with it is not filtered; 0: none

protected:
    // A refused character: the dialog is told, and unless it answers -1 the computer beeps.
    virtual void OnBadInput(char character);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int id_ = 0;
    // Bytes still to come of a refused character of more than one byte: a
    // double-byte character, or a UTF-8 one, arrives as one WM_CHAR a byte,
    // and its later bytes go with the refused first (a second byte may look
    // like a hexadecimal digit).
    size_t dropBytes_ = 0;
};

// Whether a typed character goes into the field, given the field's text
// before it. Control characters (backspace, Ctrl+V, ...) always do.
bool KeyCharacterPasses(char character, const std::string& textBefore, BOOL strict, char separator, char prefix);

// The two rules of a confirmed key: not empty, it is at least `requiredLength`
// characters long (its field holds no more); its hexadecimal digits, the
// separator not counted, number `expectedDigits`.
bool KeyLengthAccepted(const std::string& key, int requiredLength);
bool HexDigitsAccepted(const std::string& key, int expectedDigits, char separator);

// On saving: a key that is not empty must be `requiredLength` characters long.
// Then the edit exchanged last gets that length as its text limit.
void ValidateKeyLength(CDataExchange& exchange, int id, const std::string& key, int requiredLength);

// On saving: the key's hexadecimal digits (the separator not counted) must
// number `expectedDigits`.
void ValidateHexDigits(CDataExchange& exchange, int id, const std::string& key, int expectedDigits);

#endif
