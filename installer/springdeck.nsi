; Springdeck's installer: installs for the current user without elevation,
; adds a Start Menu shortcut and an entry in Apps & Features, and upgrades
; over a running copy (ended through its "close" message, started again).
; installer/package.cmake passes VERSION, BUILD_DIR, ART and OUTFILE.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Springdeck"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Tolvane Keyboards\Springdeck"
!define PUBLISHER "Tolvane Keyboards"

Name "Springdeck"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Springdeck"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Springdeck ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Springdeck"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Springdeck ${VERSION} Installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 1997 ${PUBLISHER}"

!define MUI_ICON "${ART}/springdeck.ico"
!define MUI_UNICON "${ART}/springdeck.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install Springdeck ${VERSION} for you alone; it needs no administrator rights.$\r$\n$\r$\nIf Springdeck is running, Setup ends it and starts the new version afterwards. Your Springpads keep their settings.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Springdeck now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartSpringdeck
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_COMPONENTSPAGE_TEXT_TOP "Springdeck will be removed from $INSTDIR. Your Springpad settings stay unless you tick the box below. Click Uninstall to start."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var WasRunning

; One installer or uninstaller at a time: a second one is refused.
!macro RefuseSecondInstaller
  System::Call 'kernel32::CreateMutex(p 0, i 0, t "Springdeck Installer") p .r0 ?e'
  Pop $1
  ${If} $1 = 183 ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Another Springdeck installer is already running.$\r$\n$\r$\nFinish it first, then try again." /SD IDOK
    Abort
  ${EndIf}
!macroend

; Ends every running copy, wherever it runs from, through its registered
; "close" message, and waits up to 5 s for each to exit. A copy that does not
; end is reported with Retry and Cancel; Cancel stops before any file is
; touched. $WasRunning tells whether a copy was running.
!macro EndSpringdeckFunction UN
Function ${UN}EndSpringdeck
  StrCpy $WasRunning 0
  System::Call 'user32::RegisterWindowMessage(t "close") i .r1'
  next:
    FindWindow $0 "Springdeck" "Springdeck"
    StrCmp $0 0 done
    StrCpy $WasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r2) p .r3' ; SYNCHRONIZE
    System::Call 'user32::PostMessage(p r0, i r1, p 0, p 0)'
    ${If} $3 = 0 ; no handle to wait on: watch the window instead
      StrCpy $4 258 ; WAIT_TIMEOUT
      ${For} $5 1 50
        Sleep 100
        IsWindow $0 +2
        StrCpy $4 0
        ${IfThen} $4 = 0 ${|} ${ExitFor} ${|}
      ${Next}
    ${Else}
      System::Call 'kernel32::WaitForSingleObject(p r3, i 5000) i .r4'
      System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
    StrCmp $4 0 next ; WAIT_OBJECT_0: ended, look for another copy
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Springdeck is running and does not answer the request to close.$\r$\n$\r$\nEnd it (for example in the Task Manager), then choose Retry." /SD IDCANCEL IDRETRY next
    Abort
  done:
FunctionEnd
!macroend
!insertmacro EndSpringdeckFunction ""
!insertmacro EndSpringdeckFunction "un."

Function StartSpringdeck
  FindWindow $0 "Springdeck" "Springdeck"
  ${If} $0 = 0
    Exec '"$INSTDIR\springdeck.exe"'
  ${EndIf}
FunctionEnd

; Start with Windows stays as the user chose it, pointing at this install.
!macro PointRunValueHere ROOT
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "Springdeck"
  ${If} $0 != ""
    WriteRegStr ${ROOT} "${RUN_KEY}" "Springdeck" "$INSTDIR\springdeck.exe"
  ${EndIf}
!macroend

; Removes the Run value only when it starts this install.
!macro RemoveRunValueOfHere ROOT
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "Springdeck"
  ${If} $0 == "$INSTDIR\springdeck.exe"
    DeleteRegValue ${ROOT} "${RUN_KEY}" "Springdeck"
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RefuseSecondInstaller
FunctionEnd

Section "Springdeck"
  SectionIn RO
  Call EndSpringdeck
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}/springdeck.exe"
  File "${BUILD_DIR}/springdeck.hlp"
  !if /FileExists "${BUILD_DIR}/springdeck.chm"
    File "${BUILD_DIR}/springdeck.chm"
  !endif
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Springdeck.lnk" "$INSTDIR\springdeck.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Springdeck"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\springdeck.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  !insertmacro PointRunValueHere HKLM
  !insertmacro PointRunValueHere HKCU
  ; A silent install, and an upgrade of a running copy, start it at once;
  ; otherwise the finish page offers to.
  ${If} ${Silent}
  ${OrIf} $WasRunning = 1
    Call StartSpringdeck
  ${EndIf}
SectionEnd

Section "un.Springdeck"
  SectionIn RO
  Call un.EndSpringdeck
  Delete "$INSTDIR\springdeck.exe"
  Delete "$INSTDIR\springdeck.hlp"
  Delete "$INSTDIR\springdeck.GID" ; written by WinHelp next to the help file
  Delete "$INSTDIR\springdeck.chm"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Springdeck.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !insertmacro RemoveRunValueOfHere HKLM
  !insertmacro RemoveRunValueOfHere HKCU
SectionEnd

Section /o "un.Also remove my Springpad settings" RemoveSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Tolvane Keyboards"
SectionEnd

; The folder goes last: its absence tells that the uninstaller is done.
Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  !insertmacro RefuseSecondInstaller
  ; /REMOVESETTINGS ticks "Also remove my Springpad settings" (also silently).
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${RemoveSettings}
  ${EndIf}
FunctionEnd
