// Dialog windows of the framework: a dialog bound to a template by resource
// number, run modally, with a message map from messages, command ids and
// registered messages to member handlers.
#ifndef FRAMEWORK_DIALOGBASE_H
#define FRAMEWORK_DIALOGBASE_H

#include <windows.h>

class CDialogBase;

enum class MapKind { Message, Command, Registered, End };

struct MessageMapEntry {
    MapKind kind;
    UINT id;               // the message, or the command id
    UINT (*registered)();  // the registered message's id in this process
    LRESULT (*handler)(CDialogBase& dialog, WPARAM wParam, LPARAM lParam);
};

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
};

#define DECLARE_MESSAGE_MAP() \
protected:                    \
    const MessageMapEntry* MessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass)                         \
    const MessageMapEntry* theClass::MessageMap() const {   \
        using ThisClass = theClass;                         \
        static const MessageMapEntry entries[] = {
#define ON_MESSAGE(message, handler) \
    {MapKind::Message, message, nullptr, &MessageMapThunks<ThisClass>::Message<&ThisClass::handler>},
#define ON_COMMAND(id, handler) \
    {MapKind::Command, id, nullptr, &MessageMapThunks<ThisClass>::Command<&ThisClass::handler>},
#define ON_REGISTERED_MESSAGE(idOfThisProcess, handler) \
    {MapKind::Registered, 0, idOfThisProcess, &MessageMapThunks<ThisClass>::Message<&ThisClass::handler>},
#define END_MESSAGE_MAP()                  \
    {MapKind::End, 0, nullptr, nullptr}    \
    };                                     \
    return entries;                        \
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

protected:
    void EndDialog(INT_PTR result);

    // Overridables. The defaults end the dialog with IDOK and IDCANCEL.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK();
    virtual void OnCancel();
    virtual const MessageMapEntry* MessageMap() const { return nullptr; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const MessageMapEntry* Find(UINT message, WPARAM wParam) const;

    UINT templateId_;
    HWND parent_;
    HWND window_;
};

#endif
