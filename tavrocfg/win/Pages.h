// What the applet's pages share: the adapter they show with its data source,
// each page's template and dialog procedure, and the few helpers every page
// uses to fill its controls.
#ifndef TAVROCFG_PAGES_H
#define TAVROCFG_PAGES_H

#include "AppletRequest.h"
#include "DataSource.h"

#include <windows.h>

#include <string>

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

// Shown where a value cannot be read.
extern const char kNotAvailable[];

// Keeps the context at WM_INITDIALOG and gives it back afterwards.
AppletContext* PageContext(HWND page, UINT message, LPARAM lParam);
void SetText(HWND page, int id, const char* text);
void SetText(HWND page, int id, const std::string& text);
// Adds the report view's columns, each as wide as its name.
void AddColumns(HWND list, const char* const* names, int count);
// Makes each column as wide as the widest of its name and its texts, so
// nothing in the list is cut off; called after the rows are filled.
void FitColumns(HWND list);
// Adds a row of texts to a report view; returns its index.
int AddRow(HWND list, const char* const* texts, int count, LPARAM data);
// The selected row of a list view, -1 when none is.
int SelectedRow(HWND list);
void SelectRow(HWND list, int row);
// Windows' reason for a refused change, in a message box over the page.
void ShowRefusal(HWND page, const char* what, unsigned long code);
// The folder of the program that loaded the applet, with its closing
// backslash; "" when the system cannot tell.
std::string ProgramFolder();

#endif
