#include "dialogs/KeyEdit.h"

#include "app/StatusTrayApp.h"
#include "common/Mbcs.h"
#include "framework/DataExchange.h"
#include "resource.h"

#include <cstdio>
#include <vector>

namespace {

const WORD kBadInputNotification = 0x8000;

bool IsHexLetter(char c) { return (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || IsHexLetter(c); }

// A message of the string table with one number, as printf writes it.
std::string FormatNumber(UINT id, int number) {
    char text[256];
    std::snprintf(text, sizeof text, LoadText(id).c_str(), number);
    return text;
}

}  // namespace

bool CKeyEdit::Setup(BOOL strict, int id, HWND parent, char separator, char prefix) {
    strictPunctuation = strict;
    separatorChar = separator;
    prefixChar = prefix;
    CStatusTrayApp::Get().keySeparator = separator;
    id_ = id;
    return Attach(GetDlgItem(parent, id));
}

void CKeyEdit::OnBadInput(char) {
    const LRESULT answer = SendMessageA(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id_, kBadInputNotification),
                                        reinterpret_cast<LPARAM>(Handle()));
    if (answer != -1) MessageBeep(0xFFFFFFFF);
}

LRESULT CKeyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        if (dropBytes_ > 0) {
            --dropBytes_;
            return 0;
        }
        std::vector<char> text(GetWindowTextLengthA(Handle()) + 1, 0);
        GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()));
        const char character = static_cast<char>(wParam);
        if (!KeyCharacterPasses(character, text.data(), strictPunctuation, separatorChar, prefixChar)) {
            dropBytes_ = LaterBytes(static_cast<BYTE>(character), GetACP());
            OnBadInput(character);
            return 0;
        }
    }
    return DefaultProc(message, wParam, lParam);
}

bool KeyCharacterPasses(char c, const std::string& textBefore, BOOL strict, char separator, char prefix) {
    if (static_cast<unsigned char>(c) < 32) return true;
    if (prefix && (textBefore.empty() ? c == prefix : textBefore[0] == prefix)) return true;
    if (IsCharAlphaNumericA(c) && !IsCharAlphaA(c)) return true;  // a digit
    if (IsCharAlphaA(c)) return IsHexLetter(c);
    return !strict && separator && c == separator;
}

bool KeyLengthAccepted(const std::string& key, int requiredLength) {
    return key.empty() || key.size() >= static_cast<size_t>(requiredLength);
}

bool HexDigitsAccepted(const std::string& key, int expectedDigits, char separator) {
    int digits = 0;
    for (char c : key) digits += c != separator && IsHexDigit(c);
    // A key with no hexadecimal digit at all passes only when it is empty.
    return digits == expectedDigits;
}

void ValidateKeyLength(CDataExchange& exchange, int id, const std::string& key, int requiredLength) {
    if (exchange.Failed()) return;
    if (exchange.Saving() && !KeyLengthAccepted(key, requiredLength)) {
        exchange.Fail(id, FormatNumber(IDS_INVALID_KEY_LENGTH, static_cast<int>(key.size())) + "\n" +
                              FormatNumber(IDS_ENTER_KEY_LENGTH, requiredLength));
        return;
    }
    if (exchange.LastIsEdit()) SendMessageA(exchange.LastControl(), EM_LIMITTEXT, requiredLength, 0);
}

void ValidateHexDigits(CDataExchange& exchange, int id, const std::string& key, int expectedDigits) {
    if (exchange.Failed() || !exchange.Saving()) return;
    if (!HexDigitsAccepted(key, expectedDigits, CStatusTrayApp::Get().keySeparator))
        exchange.Fail(id, LoadText(IDS_INVALID_HEX) + "\n" + LoadText(IDS_ENTER_VALID_HEX));
}
