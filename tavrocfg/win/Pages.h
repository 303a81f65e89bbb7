// What the applet's pages share: the adapter they show with its data source,
// each page's template and dialog procedure, and the helpers every page uses
// to fill its controls, in Unicode on the NT family and in the ANSI code page
// (with '?' for what it lacks) on 98 and Me.
#ifndef TAVROCFG_PAGES_H
#define TAVROCFG_PAGES_H

#include "AppletRequest.h"
#include "DataSource.h"
#include "GraphLayout.h"
#include "Text.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

// The adapter the window shows and where its data comes from.
struct AppletContext {
    HINSTANCE module = nullptr;
    ChosenAdapter adapter;
    DataSource* data = nullptr;
};

// One page: its template and its dialog procedure, which receives the
// AppletContext as the creation parameter.
struct PageInfo {
    int templateId;
    const char* label;  // the tab's text
    DLGPROC procedure;
};
extern const PageInfo kStatusPage, kSurveyPage, kNetworksPage, kSecurityPage, kVersionPage, kInstallPage;

// The saved networks a page lists.
typedef std::vector<TAVRONET_PROFILE> SavedNetworks;

// Keeps the context at WM_INITDIALOG and gives it back afterwards.
AppletContext* PageContext(HWND page, UINT message, LPARAM lParam);

// A page's own state, beside its window: made at WM_INITDIALOG, gone after
// WM_NCDESTROY, the last message the window gets (kept in GWLP_USERDATA, as
// the context is in DWLP_USER). Null before and after, and when no memory
// was left for it.
template <typename State>
State* PageState(HWND page, UINT message) {
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new (std::nothrow) State()));
    State* state = reinterpret_cast<State*>(GetWindowLongPtrA(page, GWLP_USERDATA));
    if (message != WM_NCDESTROY) return state;
    SetWindowLongPtrA(page, GWLP_USERDATA, 0);
    delete state;
    return nullptr;
}

// Whether the windows are Unicode windows: on the NT family.
bool UnicodeWindows();
// The dialog functions of the family of Windows the applet runs on.
INT_PTR ShowDialog(HINSTANCE module, int templateId, DLGPROC procedure, LPARAM parameter);
HWND CreatePageDialog(HINSTANCE module, int templateId, HWND parent, DLGPROC procedure, LPARAM parameter);

// Text between the applet's UTF-16 and the system's ANSI code page.
std::string Narrow(const Text& text);
Text FromAnsi(const char* text);

// Sets a control's text unless it already reads so (a page refreshed every
// second does not flicker); an ANSI text is in the system's code page.
void SetText(HWND page, int id, const Text& text);
void SetText(HWND page, int id, const char* text);
void SetText(HWND page, int id, const std::string& text);

// Adds the report view's columns, each as wide as its name.
void AddColumns(HWND list, const char* const* names, int count);
// Makes each column as wide as the widest of its name and its texts, so
// nothing in the list is cut off; called after the rows are filled. The
// sorted column (-1: none) has room for its arrow too.
void FitColumns(HWND list, int sortedColumn = -1);
// Adds a row to a report view; returns its index.
int AddRow(HWND list, const std::vector<Text>& cells, LPARAM data);
// The selected row of a list view, -1 when none is.
int SelectedRow(HWND list);
void SelectRow(HWND list, int row);
// The sort arrow in the header of a report view's column (comctl32 6).
void ShowSortArrow(HWND list, int column, bool descending);
// Adds an entry to a combo box.
void AddComboEntry(HWND combo, const Text& text);

// A message box over the page's window; returns the button chosen.
int AskOverPage(HWND page, const Text& text, UINT type);
// Windows' reason for a refused change, in a message box over the page.
void ShowRefusal(HWND page, const Text& what, unsigned long code);

// The dialog font of a dialog: its line height and average character width.
FontSize DialogFont(HWND dialog);

// The folder of the program that loaded the applet, with its closing
// backslash; "" when the system cannot tell.
std::string ProgramFolder();

#endif
