; The setup program of the Windows package, dist/ZEVARIDA-setup.exe: installs
; the applet for the whole machine, with its Start menu folder, its autorun
; value, an "Add or Remove Programs" entry and an uninstaller.
;
; Built by cmake/WindowsPackage.cmake, which defines VERSION (the project
; version) with VERSION_MAJOR and VERSION_MINOR, PRODUCT, COMPANY, OUTFILE,
; ICON, the files: PROGRAM, LIBRARY (the real-adapter TavroApi.DLL), APPLET,
; HELP and README (README.TXT with CRLF), and SIGN, the command that signs
; and verifies a file given a description and its path (scripts/sign.sh).
;
; Command line of the setup program: /S silent; /D=FOLDER the folder (last);
; /AUTORUN=1 or /AUTORUN=0 writes or removes the Run value, which otherwise
; a first install writes and an upgrade keeps as it finds it; /START (silent)
; starts the applet afterwards, as the user of the desktop. Exit codes: 0
; done, 1 cancelled, 2 a file in use or aborted (nothing changed), 740 not an
; administrator, 1150 a Windows the package cannot serve.
;
; The uninstaller lives outside the program's folder (UNINSTALLER), so that
; whoever runs the entry's command can wait for it: the commands run it in
; place (_?=), it returns when the folder is gone, with its result as the
; exit code, and a copy of it in the temporary folder removes it once it has
; ended.

; ANSI, so that Windows 98 and Me can start it and hear why they cannot have
; the applet; tests/shipped holds its imports to what Windows 98 has.
Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all
ManifestDPIAware true
; Like every shipped binary: no handler of structured exceptions lies in it
; (its code never writes fs:0), beside the ASLR and DEP marks NSIS sets.
PEDllCharacteristics 0x0400 0
; A file that cannot be written ends the setup instead of being left old.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinVer.nsh

!define FOLDER "Zevarida"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${FOLDER}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define RUN_VALUE "ZEVARIDA.EXE"
; The program's own format of the Run value (dialogs/RemoveStatusIcon.cpp).
!define RUN_COMMAND '"$INSTDIR\ZEVARIDA.EXE" /START'
!define UNINSTALLER_DIR "$COMMONFILES\${FOLDER}"
!define UNINSTALLER "${UNINSTALLER_DIR}\Uninstall.exe"
!define INSTANCE_MUTEX "Quorvane Status Tray Applet"
!define STOP_MESSAGE "ZEVARIDA.EXE STOP"
; The running instance's hidden main window (res/ZEVARIDA.rc, IDS_TITLE_*).
!define MAIN_WINDOW_CLASS "#32770"
!define MAIN_WINDOW_TITLE "Wireless Client Utility"
!define SYNCHRONIZE 0x00100000
; How long a running applet gets to end, in tenths of a second.
!define STOP_TIMEOUT 100
; A file in use, or aborted: nothing changed (an uninstall: finished at the restart).
!define EXIT_NOT_DONE 2
!define ERROR_ELEVATION_REQUIRED 740
!define ERROR_OLD_WIN_VERSION 1150

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${FOLDER}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${COMPANY}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "ZEVARIDA-setup.exe"

; The uninstaller is signed before the setup program takes it in, and the
; setup program once it is written; each signature is verified.
!ifdef SIGN
!uninstfinalize '${SIGN} "${PRODUCT} Uninstall" "%1"' = 0
!finalize '${SIGN} "${PRODUCT} Setup" "%1"' = 0
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsDesktopUser
!define MUI_FINISHPAGE_RUN_TEXT "Start the status tray applet now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The folder of the copy installed before this setup ran, or "".
Var installedDir

; Runs MACRO with ARG and the name of each file of the program's folder.
!macro FOR_EACH_PROGRAM_FILE MACRO ARG
    !insertmacro ${MACRO} "${ARG}" "ZEVARIDA.EXE"
    !insertmacro ${MACRO} "${ARG}" "TavroApi.DLL"
    !insertmacro ${MACRO} "${ARG}" "TAVROCFG.CPL"
    !insertmacro ${MACRO} "${ARG}" "TAVROCSH.DLL"
    !insertmacro ${MACRO} "${ARG}" "README.TXT"
!macroend

; Setup and uninstaller: administrator rights, or a message and nothing done.
!macro REQUIRE_ADMIN
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "The ${PRODUCT} is installed for every user of this computer, \
            which needs administrator rights.$\r$\n$\r$\nLog on as an administrator, or right-click \
            the program and choose $\"Run as administrator$\"." /SD IDOK
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    ${EndIf}
    SetShellVarContext all
!macroend

; $0 = 1 when the file on the stack exists and cannot be opened for writing:
; a process runs it or has it open (a copy of the applet that runs for
; another user or in another session, the Control Panel with the applet
; loaded), else 0.
!macro DEFINE_IS_IN_USE un
Function ${un}IsInUse
    Exch $1
    Push $2
    StrCpy $0 0
    ${If} ${FileExists} $1
        ClearErrors
        FileOpen $2 $1 a
        ${If} ${Errors}
            StrCpy $0 1
        ${Else}
            FileClose $2
        ${EndIf}
    ${EndIf}
    Pop $2
    Pop $1
FunctionEnd
!macroend

; $0 = 1 while an instance of the applet runs (its mutex exists), else 0.
!macro DEFINE_IS_RUNNING un
Function ${un}IsRunning
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $0 1
    ${EndIf}
FunctionEnd
!macroend

; $3 = a handle to wait on for the end of the running instance's process,
; found by its main window, or 0 when there is none.
!macro DEFINE_OPEN_RUNNING_PROCESS un
Function ${un}OpenRunningProcess
    System::Call 'user32::FindWindowW(w "${MAIN_WINDOW_CLASS}", w "${MAIN_WINDOW_TITLE}") p .r3'
    ${If} $3 P<> 0
        System::Call 'user32::GetWindowThreadProcessId(p r3, *i .r4) i'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r4) p .r3'
    ${EndIf}
FunctionEnd
!macroend

; Asks a running applet to end and waits for its process to end, then until
; its mutex is gone and its file can be written; a message and Abort (exit
; code 2) when it does not end in time. A copy that runs in another session
; shows neither mutex nor window here: the checks of every file find it.
!macro DEFINE_STOP_RUNNING un
Function ${un}StopRunning
    Call ${un}IsRunning
    ${If} $0 = 0
        Return
    ${EndIf}
    DetailPrint "Stopping the running status tray applet"
    Call ${un}OpenRunningProcess
    ${If} ${FileExists} "$INSTDIR\ZEVARIDA.EXE"
        ExecWait '"$INSTDIR\ZEVARIDA.EXE" STOP'
    ${Else}
        ; A copy from elsewhere: the request it would have broadcast.
        System::Call 'user32::RegisterWindowMessageW(w "${STOP_MESSAGE}") i .r1'
        SendMessage ${HWND_BROADCAST} $1 0 0 /TIMEOUT=5000
    ${EndIf}
    ${If} $3 P<> 0
        ; Tenths of a second and two zeros: milliseconds.
        System::Call 'kernel32::WaitForSingleObject(p r3, i ${STOP_TIMEOUT}00)'
        System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
    ; Then the mutex (a process the window did not lead to) and the file.
    StrCpy $1 0
    ${Do}
        Call ${un}IsRunning
        ${If} $0 = 0
            Push "$INSTDIR\ZEVARIDA.EXE"
            Call ${un}IsInUse
        ${EndIf}
        ${If} $0 = 0
        ${OrIf} $1 >= ${STOP_TIMEOUT}
            ${ExitDo}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 1
    ${Loop}
    ${If} $0 <> 0
        MessageBox MB_OK|MB_ICONSTOP "The running status tray applet did not end. \
            End it with $\"Remove Status Icon...$\" in its menu and try again." /SD IDOK
        SetErrorLevel ${EXIT_NOT_DONE}
        Abort
    ${EndIf}
FunctionEnd
!macroend

!insertmacro DEFINE_IS_IN_USE ""
!insertmacro DEFINE_IS_IN_USE "un."
!insertmacro DEFINE_IS_RUNNING ""
!insertmacro DEFINE_IS_RUNNING "un."
!insertmacro DEFINE_OPEN_RUNNING_PROCESS ""
!insertmacro DEFINE_OPEN_RUNNING_PROCESS "un."
!insertmacro DEFINE_STOP_RUNNING ""
!insertmacro DEFINE_STOP_RUNNING "un."

; ---------------------------------------------------------------- setup

; $0 = the first program file in the folder $R0 that is in use, else "".
!macro CHECK_IN_USE FOLDER NAME
    ${If} $0 == ""
        Push "${FOLDER}\${NAME}"
        Call IsInUse
        ${If} $0 = 1
            StrCpy $0 "${FOLDER}\${NAME}"
        ${Else}
            StrCpy $0 ""
        ${EndIf}
    ${EndIf}
!macroend
Function FindInUseIn
    !insertmacro FOR_EACH_PROGRAM_FILE CHECK_IN_USE "$R0"
    ; The uninstaller that versions up to 1.1 kept in the program's folder.
    !insertmacro CHECK_IN_USE "$R0" "Uninstall.exe"
FunctionEnd

; $0 = the first of the files that this setup replaces or removes which is
; in use, or "" when it may write them all.
Function FindFileInUse
    StrCpy $0 ""
    StrCpy $R0 "$INSTDIR"
    Call FindInUseIn
    ${If} $installedDir != ""
        StrCpy $R0 "$installedDir"
        Call FindInUseIn
    ${EndIf}
    !insertmacro CHECK_IN_USE "${UNINSTALLER_DIR}" "Uninstall.exe"
FunctionEnd

; Adds the size of the file on the stack to $R1 (bytes).
Function AddFileSize
    Exch $1
    Push $2
    Push $3
    ClearErrors
    FileOpen $2 $1 r
    ${IfNot} ${Errors}
        FileSeek $2 0 END $3
        FileClose $2
        IntOp $R1 $R1 + $3
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

!macro ADD_FILE_SIZE FOLDER NAME
    Push "${FOLDER}\${NAME}"
    Call AddFileSize
!macroend

!macro DELETE_FILE FOLDER NAME
    Delete "${FOLDER}\${NAME}"
!macroend

; The uninstall entry: what "Add or Remove Programs" shows and runs.
Function WriteUninstallEntry
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZEVARIDA.EXE,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; In place (_?=), so that the process started is the one that does the
    ; work and returns its result; _?= comes last and takes no quotes.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${UNINSTALLER}" _?=$INSTDIR'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${UNINSTALLER}" /S _?=$INSTDIR'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; The day of this install, as YYYYMMDD.
    ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
    IntFmt $0 "%02u" $0
    IntFmt $1 "%02u" $1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallDate" "$2$1$0"
    ; What this setup put on the disk, in KB rounded up; nothing else that
    ; the folder may hold.
    StrCpy $R1 0
    !insertmacro FOR_EACH_PROGRAM_FILE ADD_FILE_SIZE "$INSTDIR"
    !insertmacro ADD_FILE_SIZE "${UNINSTALLER_DIR}" "Uninstall.exe"
    IntOp $R1 $R1 + 1023
    IntOp $R1 $R1 / 1024
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R1
FunctionEnd

Section "Status tray applet (required)" SecProgram
    SectionIn RO
    Call StopRunning
    ; Every file this setup replaces or removes is checked before any is
    ; written: one in use, and nothing changes.
    Call FindFileInUse
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP "$0 is in use, perhaps by the status tray applet of another \
            user or session. Nothing has been changed.$\r$\n$\r$\nEnd the program that uses it, \
            or restart Windows, and run the setup again." /SD IDOK
        SetErrorLevel ${EXIT_NOT_DONE}
        Abort
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "/oname=ZEVARIDA.EXE" "${PROGRAM}"
    File "/oname=TavroApi.DLL" "${LIBRARY}"
    File "/oname=TAVROCFG.CPL" "${APPLET}"
    File "/oname=TAVROCSH.DLL" "${HELP}"
    File "/oname=README.TXT" "${README}"
    CreateDirectory "${UNINSTALLER_DIR}"
    WriteUninstaller "${UNINSTALLER}"
    Delete "$INSTDIR\Uninstall.exe"

    ; Installed elsewhere before: that copy moves here whole, so that one
    ; entry names the one copy there is.
    ${If} $installedDir != ""
        GetFullPathName /SHORT $0 "$installedDir"
        GetFullPathName /SHORT $1 "$INSTDIR"
        ${If} $0 != $1
            DetailPrint "Removing the copy in $installedDir"
            !insertmacro FOR_EACH_PROGRAM_FILE DELETE_FILE "$installedDir"
            Delete "$installedDir\Uninstall.exe"
            RMDir "$installedDir"
        ${EndIf}
    ${EndIf}

    CreateDirectory "$SMPROGRAMS\${FOLDER}"
    CreateShortcut "$SMPROGRAMS\${FOLDER}\Wireless LAN Status.lnk" "$INSTDIR\ZEVARIDA.EXE" "/START"
    CreateShortcut "$SMPROGRAMS\${FOLDER}\Read Me.lnk" "$INSTDIR\README.TXT"
    CreateShortcut "$SMPROGRAMS\${FOLDER}\Uninstall.lnk" "${UNINSTALLER}" "_?=$INSTDIR"
    Call WriteUninstallEntry
SectionEnd

Section "Start the applet at logon" SecAutorun
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '${RUN_COMMAND}'
SectionEnd

Section "-Start"
    ; Left out: a Run value of this copy, or of the copy moved here, goes too.
    ${IfNot} ${SectionIsSelected} ${SecAutorun}
        ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $0 == '${RUN_COMMAND}'
        ${OrIf} $0 == '"$installedDir\ZEVARIDA.EXE" /START'
            DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
        ${EndIf}
    ${EndIf}
    ; The finish page offers the start in an interactive setup.
    ${If} ${Silent}
        ${GetParameters} $0
        ClearErrors
        ${GetOptions} $0 "/START" $1
        ${IfNot} ${Errors}
            Call StartAsDesktopUser
        ${EndIf}
    ${EndIf}
SectionEnd

; $0 = 1 when this process runs elevated over a user's own limited rights
; (the administrator's full token, Vista and later with UAC), else 0.
Function IsElevatedOverUser
    StrCpy $0 0
    System::Call 'kernel32::GetCurrentProcess() p .r1'
    System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r1) i .r2'
    ${If} $2 <> 0
        ; TokenElevationType (18): 2 is TokenElevationTypeFull.
        System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r2, i 4, *i .r3) i .r4'
        ${If} $4 <> 0
        ${AndIf} $2 = 2
            StrCpy $0 1
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
FunctionEnd

!define CLSID_ShellWindows {9BA05972-F6A8-11CF-A442-00A0C90A8F39}
!define IID_IShellWindows {85CB6900-4D95-11CF-960C-0080C7F4EE85}
!define IID_IServiceProvider {6D5140C1-7436-11CE-8034-00AA006009FA}
!define SID_STopLevelBrowser {4C96BE40-915C-11CF-99D3-00AA004AE837}
!define IID_IShellBrowser {000214E2-0000-0000-C000-000000000046}
!define IID_IDispatch {00020400-0000-0000-C000-000000000046}
!define IID_IShellFolderViewDual {E7A1AF80-4D96-11CF-960C-0080C7F4EE85}
!define IID_IShellDispatch2 {A4C6892C-3BA9-11D2-9DEA-00C04FB16162}

; Asks the shell's own process (the desktop's Explorer) to start the applet,
; so that it runs as the user of the desktop, not elevated: the desktop's
; folder view, its shell application object, IShellDispatch2::ShellExecute.
; $0 = 0 when the shell took the request.
Function ShellExecuteAsDesktopUser
    Push $R0
    Push $R1
    Push $R2
    System::Call 'ole32::CoInitialize(p 0) i .R2'
    StrCpy $0 1
    System::Call 'ole32::CoCreateInstance(g "${CLSID_ShellWindows}", p 0, i 0x17, g "${IID_IShellWindows}", *p .R0) i .r1'
    ${If} $1 = 0
        ; FindWindowSW(CSIDL_DESKTOP as VT_I4, VT_EMPTY, SWC_DESKTOP, ..., SWFO_NEEDDISPATCH)
        System::Call '*(&i2 3, &i2 0, &i2 0, &i2 0, i 0, i 0) p .r2'
        System::Call '*(i 0, i 0, i 0, i 0) p .r3'
        System::Call '$R0->15(p r2, p r3, i 8, *i .r4, i 1, *p .R1) i .r1'
        System::Free $2
        System::Free $3
        System::Call '$R0->2()'
        ${If} $1 = 0
            System::Call '$R1->0(g "${IID_IServiceProvider}", *p .R0) i .r1'
            System::Call '$R1->2()'
        ${EndIf}
        ${If} $1 = 0
            System::Call '$R0->3(g "${SID_STopLevelBrowser}", g "${IID_IShellBrowser}", *p .R1) i .r1'
            System::Call '$R0->2()'
        ${EndIf}
        ${If} $1 = 0
            ; IShellBrowser::QueryActiveShellView
            System::Call '$R1->15(*p .R0) i .r1'
            System::Call '$R1->2()'
        ${EndIf}
        ${If} $1 = 0
            ; IShellView::GetItemObject(SVGIO_BACKGROUND)
            System::Call '$R0->15(i 0, g "${IID_IDispatch}", *p .R1) i .r1'
            System::Call '$R0->2()'
        ${EndIf}
        ${If} $1 = 0
            System::Call '$R1->0(g "${IID_IShellFolderViewDual}", *p .R0) i .r1'
            System::Call '$R1->2()'
        ${EndIf}
        ${If} $1 = 0
            ; IShellFolderViewDual::get_Application
            System::Call '$R0->7(*p .R1) i .r1'
            System::Call '$R0->2()'
        ${EndIf}
        ${If} $1 = 0
            System::Call '$R1->0(g "${IID_IShellDispatch2}", *p .R0) i .r1'
            System::Call '$R1->2()'
        ${EndIf}
        ${If} $1 = 0
            ; ShellExecute(file, arguments as VT_BSTR, then directory,
            ; operation and show as VT_EMPTY): each VARIANT is four words.
            System::Call 'oleaut32::SysAllocString(w "$INSTDIR\ZEVARIDA.EXE") p .r2'
            System::Call 'oleaut32::SysAllocString(w "/START") p .r3'
            System::Call '$R0->31(p r2, i 8, i 0, p r3, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, \
                i 0, i 0, i 0, i 0) i .r1'
            System::Call 'oleaut32::SysFreeString(p r2)'
            System::Call 'oleaut32::SysFreeString(p r3)'
            System::Call '$R0->2()'
            StrCpy $0 $1
        ${EndIf}
    ${EndIf}
    ${If} $R2 >= 0
        System::Call 'ole32::CoUninitialize()'
    ${EndIf}
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd

; Starts the applet as the desktop's user. Elevated, only the shell can do
; that; where it cannot (no desktop, as in a deployment by the system), the
; applet is left to start at the next logon rather than elevated, where it
; could not hear its user's later requests.
Function StartAsDesktopUser
    Call IsElevatedOverUser
    ${If} $0 = 1
        Call ShellExecuteAsDesktopUser
        ${If} $0 <> 0
            DetailPrint "The applet could not be started as the desktop's user; it starts at the next logon."
        ${EndIf}
    ${Else}
        Exec '${RUN_COMMAND}'
    ${EndIf}
FunctionEnd

; Windows 95, 98, Me, NT 4, 2000 and XP before Service Pack 2 have no
; wireless LAN API, so the applet would find no adapter there: one message,
; nothing installed, ERROR_OLD_WIN_VERSION. First of all, before any plug-in.
!macro REQUIRE_WINDOWS
    StrCpy $0 0
    ${IfNot} ${AtLeastWinXP}
        StrCpy $0 1
    ${ElseIf} ${IsWinXP}
    ${AndIfNot} ${AtLeastServicePack} 2
        StrCpy $0 1
    ${EndIf}
    ${If} $0 = 1
        MessageBox MB_OK|MB_ICONSTOP "The ${PRODUCT} needs Windows XP with Service Pack 2 or a later \
            Windows: on this one it would find no wireless adapter. Nothing has been installed.\
            $\r$\n$\r$\nOn Windows XP, install Service Pack 3 and run this setup again; otherwise \
            install the applet on a computer with Windows XP SP2, Vista or later." /SD IDOK
        SetErrorLevel ${ERROR_OLD_WIN_VERSION}
        Quit
    ${EndIf}
!macroend

Function .onInit
    !insertmacro REQUIRE_WINDOWS
    !insertmacro REQUIRE_ADMIN
    ReadRegStr $installedDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${IfNot} ${FileExists} "$installedDir\ZEVARIDA.EXE"
        StrCpy $installedDir ""
    ${EndIf}
    ; An upgrade keeps the user's choice: no Run value, no autorun.
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $installedDir != ""
    ${AndIf} $0 == ""
        !insertmacro UnselectSection ${SecAutorun}
    ${EndIf}
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/AUTORUN=" $2
    ${IfNot} ${Errors}
        ${If} $2 == "0"
            !insertmacro UnselectSection ${SecAutorun}
        ${ElseIf} $2 == "1"
            !insertmacro SelectSection ${SecAutorun}
        ${EndIf}
    ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- uninstaller

!macro DELETE_NOW_OR_AT_RESTART FOLDER NAME
    Delete /REBOOTOK "${FOLDER}\${NAME}"
!macroend

; The copy of the uninstaller that its last run left in the temporary
; folder, started with /AFTER=PID: waits for that process to end, then
; removes the uninstaller, its folder and itself (at the next restart).
Function un.RemoveUninstallerAfter
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    ${If} $2 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r2, i 60000)'
        System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    Delete /REBOOTOK "${UNINSTALLER}"
    RMDir /REBOOTOK "${UNINSTALLER_DIR}"
    Delete /REBOOTOK "$EXEPATH"
FunctionEnd

; The uninstaller itself goes last. Run in place, it cannot remove its own
; file: a copy in this run's temporary folder (NSIS makes it for the
; administrator alone) does that once this process has ended.
Function un.RemoveUninstaller
    GetFullPathName /SHORT $0 "$EXEPATH"
    GetFullPathName /SHORT $1 "${UNINSTALLER}"
    ${If} $0 == $1
        InitPluginsDir
        CopyFiles /SILENT "$EXEPATH" "$PLUGINSDIR\Uninstall.exe"
        System::Call 'kernel32::GetCurrentProcessId() i .r0'
        Exec '"$PLUGINSDIR\Uninstall.exe" /AFTER=$0 _?=${UNINSTALLER_DIR}'
    ${Else}
        Delete /REBOOTOK "${UNINSTALLER}"
        RMDir /REBOOTOK "${UNINSTALLER_DIR}"
    ${EndIf}
FunctionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AFTER=" $1
    ${IfNot} ${Errors}
        Call un.RemoveUninstallerAfter
        SetErrorLevel 0
        Quit
    ${EndIf}
    !insertmacro REQUIRE_ADMIN
    ; The entry names the copy there is, whatever folder _?= gave.
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
        MessageBox MB_OK|MB_ICONSTOP "The ${PRODUCT} is not installed: its entry names no folder." /SD IDOK
        SetErrorLevel ${EXIT_NOT_DONE}
        Quit
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.StopRunning
    ; A file in use (a copy running for another user) goes at the next restart.
    !insertmacro FOR_EACH_PROGRAM_FILE DELETE_NOW_OR_AT_RESTART "$INSTDIR"
    RMDir /REBOOTOK "$INSTDIR"

    Delete "$SMPROGRAMS\${FOLDER}\Wireless LAN Status.lnk"
    Delete "$SMPROGRAMS\${FOLDER}\Read Me.lnk"
    Delete "$SMPROGRAMS\${FOLDER}\Uninstall.lnk"
    RMDir "$SMPROGRAMS\${FOLDER}"

    ; The Run value goes when it starts this copy; one naming another copy stays.
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '${RUN_COMMAND}'
        DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}

    ; The entry and the uninstaller stay while anything of the program is
    ; left: after the restart, this uninstall runs once more and ends it.
    ${If} ${RebootFlag}
        WriteRegStr HKLM "${RUNONCE_KEY}" "${FOLDER}" '"${UNINSTALLER}" /S _?=$INSTDIR'
        MessageBox MB_OK|MB_ICONEXCLAMATION "Some files of the ${PRODUCT} are in use. They are \
            removed when Windows restarts, and the rest of the uninstall finishes then." /SD IDOK
        SetErrorLevel ${EXIT_NOT_DONE}
    ${Else}
        DeleteRegValue HKLM "${RUNONCE_KEY}" "${FOLDER}"
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
        Call un.RemoveUninstaller
    ${EndIf}
SectionEnd
