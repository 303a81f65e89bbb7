// Runs the program as a process of the simulated desktop, on the stand-in
// driver library, and finds what it shows.
#ifndef HOST_PROGRAMRUN_H
#define HOST_PROGRAMRUN_H

#include "sim/Desktop.h"
#include "FakeConfigApplet.h"
#include "FakeDriverLibrary.h"

#include <gtest/gtest.h>

class CStatusTrayApp;

#include <memory>
#include <string>

// A fresh desktop and driver library for every test.
class DesktopTest : public ::testing::Test {
protected:
    DesktopTest();
    ~DesktopTest() override;
    // Ends every process and resets the desktop, the library and the applet,
    // for the next row of a table.
    void StartOver();

    // Starts ZEVARIDA.EXE with the given argument text and lets it settle.
    sim::Process& Start(const std::string& arguments = "");
    // The application object of the process started last, null once it ended.
    // Read only while the program waits, as every test does.
    CStatusTrayApp* LastApp() const;
    // The running instance's tray window, or null.
    HWND TrayWindow() const;
    // Lets the poll timer tick `count` times.
    void Ticks(int count);
    // Posts to the tray window and lets everything settle.
    void Post(UINT message, WPARAM wParam, LPARAM lParam);

    // The shell reports a mouse event on a slot's icon; a click is press and release.
    void Mouse(WPARAM slot, LPARAM event);
    void Click(WPARAM slot, bool right = false);
    // The name of the pop-up being tracked, "none" without one.
    std::string OpenPopup() const;
    // A click on the icon and the half second until its menu shows.
    const sim::OpenMenu* OpenMenu(WPARAM slot);

    // Posts a command to the tray window and finds the dialog it opened, or null.
    HWND OpenDialog(UINT command, const std::string& title);
    HWND Item(HWND dialog, int id) const { return desk.DialogControl(dialog, id); }

    // The icon of a slot in the notification area, or null.
    const sim::TrayIcon* TrayIcon(UINT slot) const;
    // The resource number of the image the slot's icon shows, 0 without icon.
    int IconImage(UINT slot) const;
    // How often the program posted itself this command.
    int PostedCommands(UINT command) const;
    // How many recorded Win32 calls start with `prefix` and contain `part`.
    int CallsWith(const std::string& prefix, const std::string& part) const;

    sim::Desktop& desk;
    fake::DriverLibrary& library;
    fake::ConfigApplet& applet;
    std::vector<std::unique_ptr<sim::Process>> processes;
};

const char kTrayTitle[] = "Wireless Client Utility";

// A number from the environment (the seed or length of a long run), or `fallback`.
unsigned long Setting(const char* name, unsigned long fallback);

#endif
