# The program's sources, shared by the Windows build and the host test build.
# app/main.cpp (the process entry) is added by the Windows build only.
set(PROGRAM_SOURCES
    framework/AppBase.cpp
    framework/DialogBase.cpp
    framework/AppMessageBox.cpp
    framework/DataExchange.cpp
    framework/SubclassedWindow.cpp
    app/Broadcast.cpp
    app/CommandLine.cpp
    app/LibraryLoad.cpp
    tray/MessageFilter.cpp
    app/StatusTrayApp.cpp
    tray/StatusTrayDlg.cpp
    tray/TrayIcon.cpp
    tray/TipText.cpp
    tray/TrayMouse.cpp
    tray/TrayMenu.cpp
    tray/TrayCommands.cpp
    adapter/SlotPolling.cpp
    adapter/RadioControl.cpp
    adapter/OwnConfigCheck.cpp
    adapter/Registry.cpp
    launcher/ConfigLauncher.cpp
    dialogs/RemoveIconDlg.cpp
    dialogs/RemoveStatusIcon.cpp
    dialogs/KeyEdit.cpp
    dialogs/NetworkDlgs.cpp
    dialogs/ProfileDlgs.cpp
    dialogs/DialogCommands.cpp
)
list(TRANSFORM PROGRAM_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)

set(PROGRAM_INCLUDE_DIRS
    ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/res
    ${CMAKE_SOURCE_DIR}/tavroapi/include
)
