// Dialog windows of the framework: a dialog bound to a template by resource
// number, run modally, with a message map from messages, command ids and
// registered messages to member handlers.
#ifndef FRAMEWORK_DIALOGBASE_H
#define FRAMEWORK_DIALOGBASE_H

#include <windows.h>

class CDataExchange;
class CDialogBase;

// The help command: F1 in a dialog sends it to the main window, and the
// application object answers it.
const UINT ID_HELP = 57670;
// Asks a window of the program for its help context; a dialog answers
// HELP_CONTEXT_DIALOG plus its template number, other windows 0.
const UINT WM_QUERY_HELP_CONTEXT = WM_APP + 1;
const DWORD HELP_CONTEXT_DIALOG = 0x20000;

// Each dialog class carries its class name as a string.
#define DECLARE_DIALOG_CLASS(theClass) \
public:                                \
    const char* ClassName() const override { return #theClass; }

enum class MapKind { Message, Command, Registered, End };

// One entry of a message map. A map ends with an End entry that chains to
// the map of the class's base, which is searched next: a derived dialog's
// entries come first, and its base's still apply.
struct MessageMapEntry {
    MapKind kind;
    UINT id;                                        // the message, or the command id
    UINT (*registered)(const CDialogBase& dialog);  // the registered message's id, as the dialog holds it
    LRESULT (*handler)(CDialogBase& dialog, WPARAM wParam, LPARAM lParam);
    const MessageMapEntry* (*base)();  // End: the base's map (null past the framework's dialog)
};

// The handler shapes: any message with its raw parameters; a command, with
// none; WM_TIMER with the timer's id. A command and a timer answer 0.
template <class T>
struct MessageMapThunks {
    template <LRESULT (T::*Handler)(WPARAM, LPARAM)>
    static LRESULT Message(CDialogBase& dialog, WPARAM wParam, LPARAM lParam) {
        return (static_cast<T&>(dialog).*Handler)(wParam, lParam);
    }
    template <void (T::*Handler)()>
    static LRESULT Command(CDialogBase& dialog, WPARAM, LPARAM) {
        (static_cast<T&>(dialog).*Handler)();
        return 0;
    }
    template <void (T::*Handler)(UINT_PTR)>
    static LRESULT Timer(CDialogBase& dialog, WPARAM timerId, LPARAM) {
        (static_cast<T&>(dialog).*Handler)(timerId);
        return 0;
    }
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const MessageMapEntry* StaticMessageMap(); \
    const MessageMapEntry* MessageMap() const override { return StaticMessageMap(); }

// BEGIN_MESSAGE_MAP(CMyDlg, CDialogBase): the map of CMyDlg, chained to the
// one of its base class.
#define BEGIN_MESSAGE_MAP(theClass, theBase)              \
    const MessageMapEntry* theClass::StaticMessageMap() { \
        using ThisClass = theClass;                       \
        using BaseClass = theBase;                        \
        static const MessageMapEntry entries[] = {
#define ON_MESSAGE(message, handler) \
    {MapKind::Message, message, nullptr, &MessageMapThunks<ThisClass>::Message<&ThisClass::handler>, nullptr},
#define ON_COMMAND(id, handler) \
    {MapKind::Command, id, nullptr, &MessageMapThunks<ThisClass>::Command<&ThisClass::handler>, nullptr},
#define ON_WM_TIMER(handler) \
    {MapKind::Message, WM_TIMER, nullptr, &MessageMapThunks<ThisClass>::Timer<&ThisClass::handler>, nullptr},
// `idMember` names the dialog's field that holds the message's id in this process.
#define ON_REGISTERED_MESSAGE(idMember, handler)                                                       \
    {MapKind::Registered, 0,                                                                           \
     [](const CDialogBase& dialog) -> UINT { return static_cast<const ThisClass&>(dialog).idMember; }, \
     &MessageMapThunks<ThisClass>::Message<&ThisClass::handler>, nullptr},
#define END_MESSAGE_MAP()                                               \
    { MapKind::End, 0, nullptr, nullptr, &BaseClass::StaticMessageMap } \
    }                                                                   \
    ;                                                                   \
    return entries;                                                     \
    }

class CDialogBase {
public:
    explicit CDialogBase(UINT templateId, HWND parent = nullptr);
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Runs the dialog with its own message loop; returns its result, or -1
    // when the dialog could not be created.
    INT_PTR DoModal();
    HWND Handle() const { return window_; }
    UINT TemplateId() const { return templateId_; }
    virtual const char* ClassName() const = 0;

protected:
    void EndDialog(INT_PTR result);
    // Runs the data exchange: saving (and checking) or loading; false when a step failed.
    bool UpdateData(bool saving);

    // Overridables. Initialisation loads the members into the controls; OK
    // saves them and ends the dialog with IDOK when every step succeeds;
    // Cancel ends it with IDCANCEL without an exchange.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange&) {}
    // The map of the class, chained to its bases' maps; the base itself has none.
    static const MessageMapEntry* StaticMessageMap() { return nullptr; }
    virtual const MessageMapEntry* MessageMap() const { return StaticMessageMap(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool DispatchStandard(UINT message, WPARAM wParam, LRESULT& result);
    bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam) const;
    const MessageMapEntry* Find(UINT message, WPARAM wParam) const;

    UINT templateId_;
    HWND parent_;
    HWND window_;
};

#endif
