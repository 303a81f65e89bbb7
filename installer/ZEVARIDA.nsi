; The setup program of the Windows package, dist/ZEVARIDA-setup.exe: installs
; the applet for the whole machine, with its Start menu folder, its autorun
; value, an "Add or Remove Programs" entry and an uninstaller.
;
; Built by cmake/WindowsPackage.cmake, which defines VERSION (the project
; version), PRODUCT, COMPANY, OUTFILE, ICON and the files: PROGRAM, LIBRARY (the
; real-adapter TavroApi.DLL), APPLET, HELP and README (README.TXT with CRLF).
;
; Both the setup program and the uninstaller stop a running applet before they
; touch its files: "ZEVARIDA.EXE STOP" asks the running instance to end, and
; they wait for its process to end (found beforehand by its hidden main
; window), then until its single-instance mutex is gone and the program file
; can be written. Command line: /S silent, /D=FOLDER the folder, /NOSTART
; (silent setup) leaves the applet stopped afterwards.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define FOLDER "Zevarida"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${FOLDER}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "ZEVARIDA.EXE"
; The program's own format of the Run value (dialogs/RemoveStatusIcon.cpp).
!define RUN_COMMAND '"$INSTDIR\ZEVARIDA.EXE" /START'
!define INSTANCE_MUTEX "Quorvane Status Tray Applet"
!define STOP_MESSAGE "ZEVARIDA.EXE STOP"
; The running instance's hidden main window (res/ZEVARIDA.rc, IDS_TITLE_*).
!define MAIN_WINDOW_CLASS "#32770"
!define MAIN_WINDOW_TITLE "Wireless Client Utility"
!define SYNCHRONIZE 0x00100000
; How long a running applet gets to end, in tenths of a second.
!define STOP_TIMEOUT 100

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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\ZEVARIDA.EXE"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/START"
!define MUI_FINISHPAGE_RUN_TEXT "Start the status tray applet now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Setup and uninstaller: administrator rights, or a message and nothing done.
!macro REQUIRE_ADMIN
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "The ${PRODUCT} is installed for every user of this computer, \
            which needs administrator rights.$\r$\n$\r$\nLog on as an administrator, or right-click \
            the program and choose $\"Run as administrator$\"." /SD IDOK
        SetErrorLevel 740
        Quit
    ${EndIf}
    SetShellVarContext all
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

; $0 = 1 while the installed program file cannot be written (it still runs).
!macro DEFINE_IS_LOCKED un
Function ${un}IsLocked
    StrCpy $0 0
    ${If} ${FileExists} "$INSTDIR\ZEVARIDA.EXE"
        ClearErrors
        FileOpen $2 "$INSTDIR\ZEVARIDA.EXE" a
        ${If} ${Errors}
            StrCpy $0 1
        ${Else}
            FileClose $2
        ${EndIf}
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

; Asks a running applet to end and waits for its process to end; a message
; and Abort when it does not end in time.
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
            Call ${un}IsLocked
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
        SetErrorLevel 2
        Abort
    ${EndIf}
FunctionEnd
!macroend

!insertmacro DEFINE_IS_RUNNING ""
!insertmacro DEFINE_IS_RUNNING "un."
!insertmacro DEFINE_IS_LOCKED ""
!insertmacro DEFINE_IS_LOCKED "un."
!insertmacro DEFINE_OPEN_RUNNING_PROCESS ""
!insertmacro DEFINE_OPEN_RUNNING_PROCESS "un."
!insertmacro DEFINE_STOP_RUNNING ""
!insertmacro DEFINE_STOP_RUNNING "un."

Function .onInit
    !insertmacro REQUIRE_ADMIN
FunctionEnd

Function un.onInit
    !insertmacro REQUIRE_ADMIN
FunctionEnd

Section "Status tray applet (required)" SecProgram
    SectionIn RO
    Call StopRunning
    SetOutPath "$INSTDIR"
    File "/oname=ZEVARIDA.EXE" "${PROGRAM}"
    File "/oname=TavroApi.DLL" "${LIBRARY}"
    File "/oname=TAVROCFG.CPL" "${APPLET}"
    File "/oname=TAVROCSH.DLL" "${HELP}"
    File "/oname=README.TXT" "${README}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${FOLDER}"
    CreateShortcut "$SMPROGRAMS\${FOLDER}\Wireless LAN Status.lnk" "$INSTDIR\ZEVARIDA.EXE" "/START"
    CreateShortcut "$SMPROGRAMS\${FOLDER}\Read Me.lnk" "$INSTDIR\README.TXT"
    CreateShortcut "$SMPROGRAMS\${FOLDER}\Uninstall.lnk" "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZEVARIDA.EXE,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start the applet at logon" SecAutorun
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '${RUN_COMMAND}'
SectionEnd

Section "-Start"
    ; Left out of the components page: a Run value of this copy goes too.
    ${IfNot} ${SectionIsSelected} ${SecAutorun}
        ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $0 == '${RUN_COMMAND}'
            DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
        ${EndIf}
    ${EndIf}
    ; The finish page starts it in an interactive setup.
    ${If} ${Silent}
        ${GetParameters} $0
        ClearErrors
        ${GetOptions} $0 "/NOSTART" $1
        ${If} ${Errors}
            Exec '${RUN_COMMAND}'
        ${EndIf}
    ${EndIf}
SectionEnd

Section "Uninstall"
    Call un.StopRunning
    Delete "$INSTDIR\ZEVARIDA.EXE"
    Delete "$INSTDIR\TavroApi.DLL"
    Delete "$INSTDIR\TAVROCFG.CPL"
    Delete "$INSTDIR\TAVROCSH.DLL"
    Delete "$INSTDIR\README.TXT"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${FOLDER}\Wireless LAN Status.lnk"
    Delete "$SMPROGRAMS\${FOLDER}\Read Me.lnk"
    Delete "$SMPROGRAMS\${FOLDER}\Uninstall.lnk"
    RMDir "$SMPROGRAMS\${FOLDER}"

    ; The Run value goes when it starts this copy; one naming another copy stays.
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '${RUN_COMMAND}'
        DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
