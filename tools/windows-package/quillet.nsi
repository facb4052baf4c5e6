; The Windows installer: puts quillet.scr where Windows looks for screen savers, can make it the
; active one, and registers an uninstaller that takes back what it put there.
;
; One 32-bit installer serves every Windows: it runs on 32- and 64-bit systems alike. On 64-bit
; Windows it installs the 64-bit saver into System32 and the 32-bit one into SysWOW64, so that a
; 32-bit program resolving C:\Windows\System32\quillet.scr (redirected to SysWOW64) finds a saver
; too; on 32-bit Windows the 32-bit saver goes into System32. On ARM64 Windows, which may not run
; x64 programs, the 32-bit saver goes into both.
;
; tools/package-windows.sh builds it:
;   makensis -DVERSION=X.Y.Z -DSCR_I686=... -DSCR_X86_64=... -DSIZE_I686_KB=... -DSIZE_X86_64_KB=...
;            -DREADME=... -DOUTFILE=... quillet.nsi
;
; Options: /S installs silently; /ACTIVE makes Quillet the active screen saver, which a silent
; install does only when asked. The uninstaller clears the active-saver setting only while it still
; names the installed file.

Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin
; A file that cannot be written (a saver running from it) offers Retry or Cancel, never Ignore:
; skipping it would report success with the old file or none in place. A silent install cancels,
; ending with exit code 2.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_NAME "quillet.scr"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SAVE_AND_SEND 3

Name "Quillet"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Quillet"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Quillet"
VIAddVersionKey /LANG=0 "FileDescription" "Quillet screen saver setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "Quillet"
VIAddVersionKey /LANG=0 "LegalCopyright" "Quillet"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "This installs the Quillet screen saver, a showcase of its own software raster engine.$\r$\n$\r$\nWindows then lists it in the Screen Saver settings, where the Settings button opens Quillet's own dialog.$\r$\n$\r$\n$_CLICK"
; The Screen Saver settings, offered at the end.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_UNCONFIRMPAGE_TEXT_TOP "The Quillet screen saver will be removed from the system folder, and its uninstaller from the folder below. Click Uninstall to start."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The saver's path as the active-saver setting names it: System32 on every system.
!define ACTIVE_SAVER "$WINDIR\System32\${SAVER_NAME}"

Section "Quillet screen saver" SecSaver
  SectionIn RO
  ; The uninstaller and its entry come first: whatever a failure further on leaves behind, the
  ; entry in Installed apps takes away.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  File "/oname=README.txt" "${README}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillet screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillet"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ${If} ${IsNativeIA32}
    SetOutPath "$WINDIR\System32"
    File "/oname=${SAVER_NAME}" "${SCR_I686}"
  ${Else}
    ; A 32-bit installer sees SysWOW64 under the name System32 unless redirection is off. Nothing
    ; but the file copies runs while it is off.
    ${DisableX64FSRedirection}
    SetOutPath "$WINDIR\System32"
    ${If} ${IsNativeAMD64}
      File "/oname=${SAVER_NAME}" "${SCR_X86_64}"
    ${Else}
      File "/oname=${SAVER_NAME}" "${SCR_I686}"
    ${EndIf}
    SetOutPath "$WINDIR\SysWOW64"
    File "/oname=${SAVER_NAME}" "${SCR_I686}"
    ${EnableX64FSRedirection}
  ${EndIf}
  SetOutPath "$INSTDIR"
  SectionGetSize ${SecSaver} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make Quillet the active screen saver" SecActive
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "${ACTIVE_SAVER}"
  ; Saves ScreenSaveActive and tells the running session, which would otherwise keep its old state.
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SAVE_AND_SEND})'
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

Function .onInit
  ; What this system receives, not every file the installer holds.
  ${If} ${IsNativeIA32}
    StrCpy $0 ${SIZE_I686_KB}
  ${ElseIf} ${IsNativeAMD64}
    IntOp $0 ${SIZE_X86_64_KB} + ${SIZE_I686_KB}
  ${Else}
    IntOp $0 ${SIZE_I686_KB} * 2
  ${EndIf}
  SectionSetSize ${SecSaver} $0

  ${If} ${RunningX64}
    SetRegView 64
    ; Program Files of the system's own kind, unless /D= chose a folder.
    ${If} $INSTDIR == "$PROGRAMFILES\Quillet"
      StrCpy $INSTDIR "$PROGRAMFILES64\Quillet"
    ${EndIf}
  ${EndIf}
  ${If} ${Silent}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/ACTIVE" $R1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecActive}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
  ExecShell "" "control.exe" "desk.cpl,,@screensaver"
FunctionEnd

; Sets $R9 to 1 when the active-saver setting $R0 names a file this installer put in place, in the
; long or the short form of its path; else to 0.
Function un.NamesOurSaver
  StrCpy $R9 0
  ${If} $R0 == "${ACTIVE_SAVER}"
  ${OrIf} $R0 == "$WINDIR\SysWOW64\${SAVER_NAME}"
    StrCpy $R9 1
    Return
  ${EndIf}
  ; A path that names no file has no short form.
  GetFullPathName /SHORT $R1 "$R0"
  ${If} $R1 == ""
    Return
  ${EndIf}
  GetFullPathName /SHORT $R2 "${ACTIVE_SAVER}"
  GetFullPathName /SHORT $R3 "$WINDIR\SysWOW64\${SAVER_NAME}"
  ${If} $R1 == $R2
  ${OrIf} $R1 == $R3
    StrCpy $R9 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Another saver chosen since is left alone.
  ClearErrors
  ReadRegStr $R0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${IfNot} ${Errors}
    Call un.NamesOurSaver
    ${If} $R9 = 1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_SAVE_AND_SEND})'
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
    ${EndIf}
  ${EndIf}

  ; A saver running from its file goes once the system restarts.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    Delete /REBOOTOK "$WINDIR\System32\${SAVER_NAME}"
    Delete /REBOOTOK "$WINDIR\SysWOW64\${SAVER_NAME}"
    ${EnableX64FSRedirection}
  ${Else}
    Delete /REBOOTOK "$WINDIR\System32\${SAVER_NAME}"
  ${EndIf}
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The user's settings (%APPDATA%\Quillet) stay, as after any uninstall.
SectionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd
