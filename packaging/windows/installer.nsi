; Vidorra's installer for Windows: installs for the current user, without
; administrator rights, under %LOCALAPPDATA%\Programs\Vidorra (an upgrade: where
; the earlier install is); Start-menu shortcuts; an uninstaller registered in
; the user's own hive that removes exactly what was installed. /S runs it (and
; the uninstaller) silently. Neither replaces nor removes a file that a running
; Vidorra holds: both ask for its programs to be closed first, and a silent one
; ends with a non-zero status, having changed nothing.
; The option to put remembered camera settings back whenever a camera is
; plugged in starts vidorra-watch.exe from the user's Run key ("Vidorra
; watch"); it is off on a first install and as chosen before on an upgrade;
; /WATCH=1 and /WATCH=0 choose for a silent install.
;
; makensis -DVERSION=1.1 -DSTAGE=<folder> -DFILES=<nsh> -DPROBE=<nsh> -DUNFILES=<nsh> -DUNDIRS=<nsh>
;          -DOUTFILE=<exe> installer.nsi
; FILES, PROBE, UNFILES and UNDIRS list the staged folder (MakeInstaller.cmake).
; A 64-bit installer for a 64-bit program (and for a Wine without 32-bit support).
Target amd64-unicode
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT "Vidorra"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vidorra"
!define MENU_FOLDER "$SMPROGRAMS\Vidorra"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Vidorra watch"
; vidorra-watch.exe's hidden window: WM_CLOSE ends it cleanly.
!define WATCH_CLASS "VidorraMessageWindow"
!define WATCH_TITLE "VidorraWatch"
; Held by a running watch until its process ends (backends/windows/WatchMarker.cpp).
!define WATCH_MUTEX "Local\VidorraCameraWatch"
!define WATCH_EXE "vidorra-watch.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Vidorra"
; An upgrade goes into the earlier install's folder, so a custom one gets no second copy.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
; A file that cannot be replaced fails the install (a silent one too) instead of being skipped.
AllowSkipFiles off
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Vidorra developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright 2026 The Vidorra developers"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vidorra.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var WatchStopped

; Ends every running watch of the session (vidorra-watch.exe, vidorra-ctl watch),
; so that its files can be replaced or removed; WatchStopped says whether one ran.
; Its window goes before its process does: the process has ended, and left its
; files, when its mutex is gone too.
!macro StopWatch un
Function ${un}StopWatch
  Push $0
  Push $1
  Push $2
  StrCpy $WatchStopped 0
  ; At most 10 s: files that one holds still are found in use after.
  ${For} $1 0 99
    FindWindow $0 "${WATCH_CLASS}" "${WATCH_TITLE}"
    ${If} $0 = 0
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${WATCH_MUTEX}") p .r0'
      ${IfThen} $0 = 0 ${|} ${Break} ${|}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${Else}
      StrCpy $WatchStopped 1
      IntOp $2 $1 % 20
      ${IfThen} $2 = 0 ${|} SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000 ${|}
    ${EndIf}
    Sleep 100
  ${Next}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro StopWatch ""
!insertmacro StopWatch "un."

; Sets $R0 to NAME when $INSTDIR\NAME exists and cannot be opened for writing,
; as Windows (and Wine) refuse for the program files and DLLs of a running
; process; where $R0 names a file already, it stays.
!macro ProbeFile name
  ${If} $R0 == ""
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${name}", i 0x40000000, i 1, p 0, i 3, i 0, p 0) p .r0 ?e'
    Pop $1
    ${If} $0 = -1
      ; 2 and 3: not there, nothing to replace.
      ${If} $1 <> 2
      ${AndIf} $1 <> 3
        StrCpy $R0 "${name}"
      ${EndIf}
    ${Else}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
  ${EndIf}
!macroend

; $R0: the first of the folder's programs (ProgramInUse) or of its files
; (FileInUse) that something holds, or "" when none is held. The watch is
; left out of the first: it is ended rather than asked for.
!macro InUse un
Function ${un}ProgramInUse
  Push $0
  Push $1
  StrCpy $R0 ""
  !insertmacro ProbeFile "vidorra.exe"
  !insertmacro ProbeFile "vidorra-sim.exe"
  !insertmacro ProbeFile "vidorra-ctl.exe"
  !insertmacro ProbeFile "vidorra-ctl-sim.exe"
  Pop $1
  Pop $0
FunctionEnd

Function ${un}FileInUse
  Push $0
  Push $1
  StrCpy $R0 ""
  !include "${PROBE}"
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro InUse ""
!insertmacro InUse "un."

; Asks for the programs to be closed until nothing holds what KIND finds
; ($R0 "") or the user cancels ($R0 the file held); silent, it cancels.
!macro AskToClose un kind
Function ${un}AskToClose${kind}
  ${Do}
    Call ${un}${kind}InUse
    ${IfThen} $R0 == "" ${|} Return ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Vidorra is running from $INSTDIR: $R0 is in use.$\r$\n$\r$\nClose Vidorra, Vidorra on a simulated camera \
and vidorra-ctl, then choose Retry. Cancel leaves Vidorra as it is." /SD IDCANCEL IDRETRY retry
    Return
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro AskToClose "" Program
!insertmacro AskToClose "un." Program
!insertmacro AskToClose "" File
!insertmacro AskToClose "un." File

; Before anything changes: the running programs closed by the user, the watch
; ended, and then nothing holding a file. Cancelled, it leaves all as it was
; (a watch it ended starts again) and ends the (un)installer with status 2.
!macro TakeFolder un
  Call ${un}AskToCloseProgram
  ${IfThen} $R0 != "" ${|} Abort ${|}
  Call ${un}StopWatch
  Call ${un}AskToCloseFile
  ${If} $R0 != ""
    ${If} $WatchStopped = 1
    ${AndIf} ${FileExists} "$INSTDIR\${WATCH_EXE}"
      Exec '"$INSTDIR\${WATCH_EXE}"'
    ${EndIf}
    Abort
  ${EndIf}
!macroend

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vidorra" SectionMain
  SectionIn RO
  !insertmacro TakeFolder ""
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\Vidorra.lnk" "$INSTDIR\vidorra.exe"
  CreateShortcut "${MENU_FOLDER}\Vidorra on a simulated camera.lnk" "$INSTDIR\vidorra-sim.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Vidorra developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vidorra.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; Not chosen this time: a watch of an earlier install stops starting at logon.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
SectionEnd

Section /o "Put remembered camera settings back whenever a camera is plugged in" SectionWatch
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${WATCH_EXE}"'
  ; Now, not only from the next logon on.
  Exec '"$INSTDIR\${WATCH_EXE}"'
SectionEnd

Section "Uninstall"
  !insertmacro TakeFolder "un."
  ClearErrors
  !include "${UNFILES}"
  ${If} ${Errors}
    ; Taken again in the meantime: what is left stays registered, so that
    ; uninstalling again removes it.
    MessageBox MB_OK|MB_ICONSTOP "Some of Vidorra's files in $INSTDIR are in use and stay. Close Vidorra, \
then uninstall it again." /SD IDOK
    Abort
  ${EndIf}
  ; The Run value and the registration go unless they name an install
  ; elsewhere that is still there (this one's files are gone by now, whatever
  ; form of its path they name).
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $0 $0 -1 1  ; the program's path without its quotes
  ${IfNotThen} ${FileExists} $0 ${|} DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}" ${|}
  Delete "${MENU_FOLDER}\Vidorra.lnk"
  Delete "${MENU_FOLDER}\Vidorra on a simulated camera.lnk"
  RMDir "${MENU_FOLDER}"
  !include "${UNDIRS}"
  ; Run in place (_?=), it cannot remove itself, nor so the folder.
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNotThen} ${FileExists} "$0\vidorra.exe" ${|} DeleteRegKey HKCU "${UNINSTALL_KEY}" ${|}
SectionEnd

; After the sections, whose numbers it uses.
Function .onInit
  SetShellVarContext current
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/WATCH=" $R1
  ${If} ${Errors}
    ; Not said: as chosen before, which the Run value keeps.
    ClearErrors
    ReadRegStr $R1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${IfNotThen} ${Errors} ${|} StrCpy $R1 1 ${|}
  ${EndIf}
  ${If} $R1 == 1
    !insertmacro SelectSection ${SectionWatch}
  ${Else}
    !insertmacro UnselectSection ${SectionWatch}
  ${EndIf}
FunctionEnd
