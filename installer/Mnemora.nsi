; Installer and uninstaller of Mnemora.Net, built by the Windows build (installer/CMakeLists.txt)
; with makensis and these definitions:
;   INFO     the generated ProductInfo.nsh: names, publisher, version
;   STAGE    the folder with Mnemora.exe, MnemoraNet.chm, License.txt and ReadMe.txt
;   ICON     the program's icon
;   SHELL_RUN ShellRun.exe (built from ShellRun.cpp) for the finish page; it is not installed
;   OUTFILE  the setup program to write
;
; Setup:     /S installs silently with start with Windows and starts nothing; /D=folder (last)
;            picks the folder.
; Uninstall: asks whether to remove the settings. /S uninstalls silently and keeps them;
;            /REMOVESETTINGS removes them without asking, with or without /S.

Unicode true
; The program is 64-bit, so its installer is too: it sees the same Program Files folder and
; the same registry view as the program.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "${INFO}"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define EXE "Mnemora.exe"
!define HELP_FILE "MnemoraNet.chm"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
!define SETTINGS_KEY "SOFTWARE\${PRODUCT_NAME}"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "${PRODUCT_NAME}"
; A running copy is found as a second copy finds the first: its main dialog's class and title,
; and its Optimize button, which another window of that name (a message box) lacks.
!define DIALOG_CLASS "#32770"
!define DIALOG_TITLE "Mnemora"
!define IDC_OPTIMIZE 1036
!define SYNCHRONIZE 0x00100000
!define WAIT_OBJECT_0 0
!define WAIT_TIMEOUT 258
; How long a closing copy, or a file it still holds, is waited for: in 250 ms steps where polled.
!define CLOSE_WAIT_MS 30000
!define CLOSE_WAIT_TICKS 120

Name "${PRODUCT_NAME} ${PRODUCT_VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT_NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT_NAME} ${PRODUCT_VERSION}"

VIProductVersion "${PRODUCT_VERSION_QUAD}"
VIFileVersion "${PRODUCT_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PRODUCT_PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT_RIGHTS}"

Var RemoveSettings

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
; The setup runs with administrator rights, so the program is started through the logged-on
; user's own shell instead (StartAsUser), never as a child of the setup.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME} now, as you"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "${PRODUCT_NAME} has been installed on this computer.$\r$\n$\r$\n\
Starting with Windows is each user's own choice: the program makes a user's start-up entry when \
that user starts it, and only that user can turn it off. Start it now, without administrator \
rights, to make yours."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/License.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Sends WM_CLOSE to every running copy, as Exit does, and waits until its process has ended:
; its window goes first, but a copy that was in an optimization pass finishes the round it is in
; and releases its memory before the process lets go of Mnemora.exe.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $1 0
  next_window:
    FindWindow $0 "${DIALOG_CLASS}" "${DIALOG_TITLE}" "" $1
    StrCmp $0 0 done
    StrCpy $1 $0
    GetDlgItem $2 $0 ${IDC_OPTIMIZE}
    StrCmp $2 0 next_window
    ; Opened before the window is asked to close, so the process cannot be gone (and its id
    ; taken by another) by the time it is waited for.
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r2'
    DetailPrint "Closing the running ${PRODUCT_NAME}"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  wait:
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT_MS}) i .r3'
    ${Else}
      ; No process to wait for (it may not be opened): its window is all there is to watch.
      StrCpy $3 ${WAIT_TIMEOUT}
      ${For} $4 1 ${CLOSE_WAIT_TICKS}
        System::Call 'user32::IsWindow(p r0) i .r3'
        ${If} $3 = 0
          ${Break}
        ${EndIf}
        Sleep 250
      ${Next}
    ${EndIf}
    ${If} $3 = ${WAIT_OBJECT_0}
      ${If} $2 P<> 0
        System::Call 'kernel32::CloseHandle(p r2)'
      ${EndIf}
      StrCpy $1 0
      Goto next_window
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT_NAME} is still running. Close it (Exit in its tray menu), then choose Retry." \
      /SD IDCANCEL IDCANCEL cancel
    IsWindow $0 0 wait
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Goto wait
  cancel:
    ${If} $2 P<> 0
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    Abort "${PRODUCT_NAME} is still running."
  done:
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; Waits until the file, if it is there, may be opened for writing: a copy that has just ended may
; hold it a moment longer, and File would report "error opening file for writing" at once.
!macro INSTALL_FILE name
  ${For} $0 1 ${CLOSE_WAIT_TICKS}
    ${IfNot} ${FileExists} "$OUTDIR\${name}"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $1 "$OUTDIR\${name}" a
    ${IfNot} ${Errors}
      FileClose $1
      ${Break}
    ${EndIf}
    Sleep 250
  ${Next}
  File "${STAGE}/${name}"
!macroend

Section "-Program"
  Call CloseRunningCopy
  SetOutPath "$INSTDIR"
  !insertmacro INSTALL_FILE "${EXE}"
  !insertmacro INSTALL_FILE "${HELP_FILE}"
  !insertmacro INSTALL_FILE "License.txt"
  !insertmacro INSTALL_FILE "ReadMe.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 \
    SW_SHOWNORMAL "" "${PRODUCT_DESCRIPTION}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${PRODUCT_VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${PRODUCT_VERSION_MINOR}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT_PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${PRODUCT_HOMEPAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "mailto:${PRODUCT_SUPPORT_MAIL}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start with Windows" SecAutoStart
  ; Applied below, after the choice, whichever way it went.
SectionEnd

Section "-ApplyAutoStart"
  ; The start-up entry is each user's own, written by the program at its start; an earlier
  ; version's machine-wide entry would go on starting it for every user, whatever they chose.
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ; Only the machine's default: a user's own AutoStart, and the entry that goes with it, stay
  ; that user's choice. The setup's HKEY_CURRENT_USER may not even be the logged-on user's.
  ${If} ${SectionIsSelected} ${SecAutoStart}
    WriteRegStr HKLM "${SETTINGS_KEY}" "AutoStart" "TRUE"
  ${Else}
    WriteRegStr HKLM "${SETTINGS_KEY}" "AutoStart" "FALSE"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutoStart} "The default for every user. Each user's \
    start-up entry is made when that user starts ${PRODUCT_NAME}; each can turn it off."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The finish page's start. ShellRun asks the desktop shell of the logged-on user to start the
; program, so it runs with that user's rights and makes that user's start-up entry. Where the
; shell cannot be asked, nothing is started: an elevated start would make the entry for the wrong
; account, or run the program with an administrator's rights.
Function StartAsUser
  InitPluginsDir
  File "/oname=$PLUGINSDIR\ShellRun.exe" "${SHELL_RUN}"
  StrCpy $0 error
  ExecWait '"$PLUGINSDIR\ShellRun.exe" "$INSTDIR\${EXE}" "" "$INSTDIR"' $0
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONINFORMATION "Setup could not ask Windows to start ${PRODUCT_NAME} for you, \
      and does not start it with administrator rights. Start it from the Start menu." /SD IDOK
  ${EndIf}
FunctionEnd

Function un.onInit
  StrCpy $RemoveSettings 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

; Deletes a file that a copy which has just closed may still hold for a moment.
!macro DELETE_WITH_RETRY file
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "${file}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    ${If} $1 >= ${CLOSE_WAIT_TICKS}
      Delete /REBOOTOK "${file}"
      ${Break}
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
  ${Loop}
!macroend

Section "Uninstall"
  ; Asked first, so nothing is gone yet if the user stops here.
  ${If} $RemoveSettings <> 1
  ${AndIfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove the ${PRODUCT_NAME} settings as well?$\n$\nChoose No to keep them for a later installation." \
      IDNO keep_settings
    StrCpy $RemoveSettings 1
    keep_settings:
  ${EndIf}

  Call un.CloseRunningCopy
  !insertmacro DELETE_WITH_RETRY "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${HELP_FILE}"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"

  ; The machine's entry (an earlier version's) and that of the account the uninstaller runs as.
  ; Other users' entries are out of reach; they point at nothing from now on.
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $RemoveSettings = 1
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
