; Springdeck's installer: installs for the current user without elevation,
; adds a Start Menu shortcut and an entry in Apps & Features, and upgrades
; over a running copy (ended through its "close" message, started again).
; It runs on Windows 2000 and later; the zip serves the older systems.
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
!define UNINSTALLER "Uninstall Springdeck.exe"

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
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_COMPONENTSPAGE_TEXT_TOP "Springdeck will be removed from $INSTDIR. Your Springpad settings stay unless you tick the box below. Click Uninstall to start."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var WasRunning
Var Mutex      ; held while Setup runs
Var MadeFolder ; 1 when the install folder did not exist before Springdeck's first install
Var RunLm      ; the Run values as they were before Setup changed anything
Var RunCu

; Springdeck's files in the install folder, each given to the macro by name.
!macro ForEachFile MACRO
  !insertmacro ${MACRO} "springdeck.exe"
  !insertmacro ${MACRO} "springdeck.hlp"
  !if /FileExists "${BUILD_DIR}/springdeck.chm"
    !insertmacro ${MACRO} "springdeck.chm"
  !endif
  !insertmacro ${MACRO} "${UNINSTALLER}"
!macroend

; One installer or uninstaller at a time: a second one is refused.
!macro RefuseSecondInstaller
  System::Call 'kernel32::CreateMutex(p 0, i 0, t "Springdeck Installer") p .s ?e'
  Pop $1
  Pop $Mutex
  ${If} $1 = 183 ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Another Springdeck installer is already running.$\r$\n$\r$\nFinish it first, then try again." /SD IDOK
    Abort
  ${EndIf}
!macroend

; Ends running copies through their registered "close" message, and waits up
; to 5 s for each to exit: the installer every copy, wherever it runs from;
; the uninstaller only the copy whose program lies in the install folder (a
; copy run from elsewhere stays). A copy that does not end is reported with
; Retry and Cancel; Cancel stops before any file is touched. $WasRunning
; tells whether a copy was running.
!macro EndSpringdeckFunction UN
Function ${UN}EndSpringdeck
  StrCpy $WasRunning 0
  StrCpy $6 0 ; the last window passed over: the search goes on after it
  System::Call 'user32::RegisterWindowMessage(t "close") i .r1'
  next:
    FindWindow $0 "Springdeck" "Springdeck" "" $6
    StrCmp $0 0 done
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    ; SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
    System::Call 'kernel32::OpenProcess(i 0x00100410, i 0, i r2) p .r3'
    !if "${UN}" == "un."
      ; The program's folder, in long form (QueryFullProcessImageNameW from
      ; Windows Vista on, psapi before); none when the process cannot be read.
      StrCpy $7 ""
      System::Call 'kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r7, *i ${NSIS_MAX_STRLEN}) i .r8'
      ${If} $8 = 0
        System::Call 'psapi::GetModuleFileNameExW(p r3, p 0, w .r7, i ${NSIS_MAX_STRLEN}) i .r8'
      ${EndIf}
      ${GetParent} $7 $7
      System::Call 'kernel32::GetLongPathNameW(w r7, w .r7, i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r8, i ${NSIS_MAX_STRLEN})'
      ${If} $7 == ""
      ${OrIf} $7 != $8
        System::Call 'kernel32::CloseHandle(p r3)'
        StrCpy $6 $0
        Goto next
      ${EndIf}
    !endif
    StrCpy $WasRunning 1
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

; Start with Windows stays as the user chose it (the value as it was before
; Setup began), pointing at this install. The path is quoted, as the program
; writes it.
!macro PointRunValueHere ROOT BEFORE
  ${If} ${BEFORE} != ""
    WriteRegStr ${ROOT} "${RUN_KEY}" "Springdeck" '"$INSTDIR\springdeck.exe"'
  ${EndIf}
!macroend

; Removes the Run value only when it starts this install, quoted or not.
!macro RemoveRunValueOfHere ROOT
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "Springdeck"
  ${If} $0 == "$INSTDIR\springdeck.exe"
  ${OrIf} $0 == '"$INSTDIR\springdeck.exe"'
    DeleteRegValue ${ROOT} "${RUN_KEY}" "Springdeck"
  ${EndIf}
!macroend

; $1 becomes the path of a file of that name in the install folder, if any.
!macro FindFile NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $1 "$INSTDIR\${NAME}"
  ${EndIf}
!macroend

; A folder Springdeck can run from and whose files under Springdeck's names
; are Springdeck's (the folder of the install the uninstall entry names).
Function CheckFolder
  ; The program finds its own path through the ANSI code page.
  System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w "$INSTDIR", i -1, m .r1, i ${NSIS_MAX_STRLEN}, p 0, *i 0 r0)' ; WC_NO_BEST_FIT_CHARS
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "Springdeck cannot run from $INSTDIR: its name has characters that the language for non-Unicode programs set in Windows does not have.$\r$\n$\r$\nChoose another folder." /SD IDOK
    Abort
  ${EndIf}
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $1 ""
  ${If} $0 != $INSTDIR
    !insertmacro ForEachFile FindFile
  ${EndIf}
  ${If} $1 != ""
    MessageBox MB_OK|MB_ICONSTOP "$1 belongs to another program, and Setup does not replace it.$\r$\n$\r$\nChoose another folder." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

; Stops, with Retry and Cancel, while another program holds a file that Setup
; replaces: nothing is replaced until every file can be.
!macro CheckFileFree NAME
  StrCpy $1 "$INSTDIR\${NAME}"
  Call CheckFileFree
!macroend
Function CheckFileFree
  ${IfNot} ${FileExists} $1
    Return
  ${EndIf}
  retry:
  ClearErrors
  FileOpen $2 $1 a
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1 is in use by another program.$\r$\n$\r$\nClose that program, then choose Retry." /SD IDCANCEL IDRETRY retry
    Abort
  ${EndIf}
  FileClose $2
FunctionEnd

; Whether the install that the uninstall entry names (in $0) made its folder:
; $3 is 1 or 0. Entries of earlier versions do not tell; of their folders,
; Springdeck's default one counts as made by its install.
Function EntryMadeFolder
  ClearErrors
  ReadRegDWORD $3 HKCU "${UNINSTALL_KEY}" "CreatedInstallLocation"
  ${If} ${Errors}
    StrCpy $3 0
    ${IfThen} $0 == "$LOCALAPPDATA\Programs\Springdeck" ${|} StrCpy $3 1 ${|}
  ${EndIf}
FunctionEnd

; An install in another folder goes first, through its own uninstaller run in
; place (so that Setup waits for it), then that uninstaller and the folder.
Function RemovePreviousInstall
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "UninstallString"
  Call EntryMadeFolder
  StrCpy $1 $1 -1 1 ; the path inside the quotes
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
  ${OrIfNot} ${FileExists} $1
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p $Mutex)' ; which that uninstaller takes
  ClearErrors
  ExecWait '"$1" /S _?=$0' $2
  ${If} ${Errors}
  ${OrIf} $2 <> 0
    MessageBox MB_OK|MB_ICONSTOP "Springdeck in $0 could not be removed.$\r$\n$\r$\nUninstall it, then run Setup again." /SD IDOK
    Abort
  ${EndIf}
  Delete $1
  ${If} $3 = 1
    RMDir $0
  ${EndIf}
  !insertmacro RefuseSecondInstaller
FunctionEnd

!macro InstallFile NAME
  !if "${NAME}" != "${UNINSTALLER}"
    File "${BUILD_DIR}/${NAME}"
  !endif
!macroend
; The uninstaller's own file goes last (section un.Folder).
!macro DeleteFile NAME
  !if "${NAME}" != "${UNINSTALLER}"
    Delete "$INSTDIR\${NAME}"
  !endif
!macroend

Function .onInit
  !insertmacro RefuseSecondInstaller
  ${If} ${Silent}
    ; NSIS puts its default folder in place of a drive root given with /D=.
    System::Call 'kernel32::GetCommandLineW() w .r0'
    ${GetOptions} $0 "/D=" $1
    ${GetRoot} $1 $2
    ${If} $1 != ""
      ${If} $1 == $2
      ${OrIf} $1 == "$2\"
        MessageBox MB_OK|MB_ICONSTOP "Setup does not install into the root of a drive ($1). Choose a folder." /SD IDOK
        Abort
      ${EndIf}
    ${EndIf}
    Call CheckFolder
  ${EndIf}
FunctionEnd

Section "Springdeck"
  SectionIn RO
  Call EndSpringdeck
  !insertmacro ForEachFile CheckFileFree
  ReadRegStr $RunLm HKLM "${RUN_KEY}" "Springdeck"
  ReadRegStr $RunCu HKCU "${RUN_KEY}" "Springdeck"
  ; The uninstaller removes the folder only when Springdeck's install made it.
  ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "UninstallString"
  StrCpy $MadeFolder 0
  ${If} $R0 == $INSTDIR
    StrCpy $0 $R0
    Call EntryMadeFolder
    StrCpy $MadeFolder $3
  ${ElseIfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $MadeFolder 1
  ${EndIf}
  Call RemovePreviousInstall

  SetOutPath "$INSTDIR"
  ClearErrors
  !insertmacro ForEachFile InstallFile
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Setup could not write Springdeck's files into $INSTDIR." /SD IDOK
    Abort
  ${EndIf}
  ; Earlier versions named their uninstaller uninstall.exe.
  ${If} $R0 == $INSTDIR
  ${AndIf} $R1 == '"$INSTDIR\uninstall.exe"'
    Delete "$INSTDIR\uninstall.exe"
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\Springdeck.lnk" "$INSTDIR\springdeck.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Springdeck"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\springdeck.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  ; Run in place (_?=), the quiet uninstall ends only when its work is done,
  ; with a non-zero exit code when it could not finish.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "CreatedInstallLocation" $MadeFolder
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=*springdeck.* /S=0K /G=0" $0 $1 $2 ; Springdeck's own files
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  !insertmacro PointRunValueHere HKLM $RunLm
  !insertmacro PointRunValueHere HKCU $RunCu
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
  ClearErrors
  !insertmacro ForEachFile DeleteFile
  Delete "$INSTDIR\springdeck.GID" ; written by WinHelp next to the help file
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Some of Springdeck's files in $INSTDIR are in use.$\r$\n$\r$\nClose the program that uses them, then uninstall again." /SD IDOK
    Abort
  ${EndIf}
  Delete "$SMPROGRAMS\Springdeck.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !insertmacro RemoveRunValueOfHere HKLM
  !insertmacro RemoveRunValueOfHere HKCU
SectionEnd

Section /o "un.Also remove my Springpad settings" RemoveSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Tolvane Keyboards"
SectionEnd

; The uninstaller itself goes last, then the folder if Springdeck's install
; made it. Running from this folder (the quiet uninstall does, so that its
; caller waits for its work), the uninstaller cannot delete its own file: a
; copy of it in the temporary folder does that once this process has ended.
Section "-un.Folder"
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    System::Call 'kernel32::GetCurrentProcessId() i .r1'
    StrCpy $0 "$TEMP\Springdeck cleanup $1.exe"
    CopyFiles /SILENT "$EXEPATH" $0
    Exec '"$0" /CLEANUP=$1 /MADEFOLDER=$MadeFolder _?=$INSTDIR'
  ${ElseIf} $MadeFolder = 1
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd

Function un.onInit
  ; The copy that removes the uninstaller run from the install folder: it
  ; waits for that process to end (it holds the file until then).
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CLEANUP=" $1
  ${IfNot} ${Errors}
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2' ; SYNCHRONIZE
    System::Call 'kernel32::WaitForSingleObject(p r2, i 60000)'
    System::Call 'kernel32::CloseHandle(p r2)'
    Delete "$INSTDIR\${UNINSTALLER}"
    ${GetOptions} $R0 "/MADEFOLDER=" $1
    ${If} $1 = 1
      RMDir "$INSTDIR"
    ${EndIf}
    Quit
  ${EndIf}
  !insertmacro RefuseSecondInstaller
  StrCpy $MadeFolder 0
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ReadRegDWORD $MadeFolder HKCU "${UNINSTALL_KEY}" "CreatedInstallLocation"
  ${EndIf}
  ; /REMOVESETTINGS ticks "Also remove my Springpad settings" (also silently).
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${RemoveSettings}
  ${EndIf}
FunctionEnd
