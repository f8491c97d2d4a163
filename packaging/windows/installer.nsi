; Vidorra's installer for Windows: installs for the current user, without
; administrator rights, under %LOCALAPPDATA%\Programs\Vidorra; Start-menu
; shortcuts; an uninstaller registered in the user's own hive that removes
; exactly what was installed. /S runs it (and the uninstaller) silently.
; The option to put remembered camera settings back whenever a camera is
; plugged in starts vidorra-watch.exe from the user's Run key ("Vidorra
; watch"); it is off unless chosen, and /WATCH=1 chooses it for a silent install.
;
; makensis -DVERSION=1.1 -DSTAGE=<folder> -DFILES=<nsh> -DUNFILES=<nsh> -DOUTFILE=<exe> installer.nsi
; FILES and UNFILES list the staged folder's files (MakeInstaller.cmake).
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

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Vidorra"
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

; Ends every running vidorra-watch.exe of the session, so that its files can be replaced or removed.
!macro StopWatch un
Function ${un}StopWatch
  Push $0
  Push $1
  Push $2
  ; At most 10 s: one that does not end is left to Windows' own "file in use".
  ${For} $1 0 99
    FindWindow $0 "${WATCH_CLASS}" "${WATCH_TITLE}"
    ${IfThen} $0 = 0 ${|} ${Break} ${|}
    IntOp $2 $1 % 20
    ${IfThen} $2 = 0 ${|} SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000 ${|}
    Sleep 100
  ${Next}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro StopWatch ""
!insertmacro StopWatch "un."

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vidorra" SectionMain
  SectionIn RO
  Call StopWatch
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
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\vidorra-watch.exe"'
  ; Now, not only from the next logon on.
  Exec '"$INSTDIR\vidorra-watch.exe"'
SectionEnd

Section "Uninstall"
  Call un.StopWatch
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Delete "${MENU_FOLDER}\Vidorra.lnk"
  Delete "${MENU_FOLDER}\Vidorra on a simulated camera.lnk"
  RMDir "${MENU_FOLDER}"
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; After the sections, whose numbers it uses.
Function .onInit
  SetShellVarContext current
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/WATCH=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == 1
      !insertmacro SelectSection ${SectionWatch}
    ${Else}
      !insertmacro UnselectSection ${SectionWatch}
    ${EndIf}
  ${EndIf}
FunctionEnd
