; Vidorra's installer for Windows: installs for the current user, without
; administrator rights, under %LOCALAPPDATA%\Programs\Vidorra; Start-menu
; shortcuts; an uninstaller registered in the user's own hive that removes
; exactly what was installed. /S runs it (and the uninstaller) silently.
;
; makensis -DVERSION=1.1 -DSTAGE=<folder> -DFILES=<nsh> -DUNFILES=<nsh> -DOUTFILE=<exe> installer.nsi
; FILES and UNFILES list the staged folder's files (MakeInstaller.cmake).
; A 64-bit installer for a 64-bit program (and for a Wine without 32-bit support).
Target amd64-unicode
!include MUI2.nsh

!define PRODUCT "Vidorra"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vidorra"
!define MENU_FOLDER "$SMPROGRAMS\Vidorra"

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
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vidorra.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vidorra" SectionMain
  SectionIn RO
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
SectionEnd

Section "Uninstall"
  Delete "${MENU_FOLDER}\Vidorra.lnk"
  Delete "${MENU_FOLDER}\Vidorra on a simulated camera.lnk"
  RMDir "${MENU_FOLDER}"
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
