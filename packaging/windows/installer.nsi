; The Diff-Zarvo installer: a per-user install under %LOCALAPPDATA%\Programs\Diff-Zarvo, where the
; program can write its Zarvo.ini (never Program Files, where it could not). Start menu and Send To
; entries, an uninstaller listed in Apps & features. /S installs or uninstalls silently; the
; uninstaller keeps Zarvo.ini unless the user agrees to remove it (or /REMOVESETTINGS is given).
;
; makensis -DARCH=win32 -DBIN=<folder with the two programs> -DTOP=<source root> -DOUTFILE=<setup.exe>
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define VERSION "1.02.0002"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Diff-Zarvo"

Name "Diff-Zarvo"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Diff-Zarvo"
ShowInstDetails show
VIProductVersion "1.2.0.2"
VIAddVersionKey /LANG=1041 "ProductName" "Zarvo1"
VIAddVersionKey /LANG=1041 "FileDescription" "Diff-Zarvo セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) 2026 the Diff-Zarvo developers"

!define MUI_ICON "${TOP}\app\Zarvo.ico"
!define MUI_UNICON "${TOP}\app\Zarvo.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\diff-zarvo.exe"
!insertmacro MUI_PAGE_LICENSE "${TOP}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Var RemoveSettings

Section "Diff-Zarvo"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BIN}\diff-zarvo.exe"
  File "${BIN}\diff-zarvo-view.exe"
  File "/oname=お読みください.txt" "${TOP}\packaging\windows\お読みください.txt"
  File "/oname=LICENSE.txt" "${TOP}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Diff-Zarvo.lnk" "$INSTDIR\diff-zarvo.exe"
  ; "送る": the file sent becomes the first path, as with a drop.
  CreateShortcut "$SENDTO\Diff-Zarvo.lnk" "$INSTDIR\diff-zarvo.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Diff-Zarvo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Diff-Zarvo developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\diff-zarvo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  StrCpy $RemoveSettings 0
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Diff-Zarvo.lnk"
  Delete "$SENDTO\Diff-Zarvo.lnk"
  Delete "$INSTDIR\diff-zarvo.exe"
  Delete "$INSTDIR\diff-zarvo-view.exe"
  Delete "$INSTDIR\お読みください.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings are the user's: kept unless asked (silently, they stay).
  ${If} ${FileExists} "$INSTDIR\Zarvo.ini"
  ${AndIf} $RemoveSettings == 0
    MessageBox MB_YESNO|MB_ICONQUESTION "設定ファイル (Zarvo.ini) も削除しますか?$\r$\n「いいえ」を選ぶと設定は残ります。" /SD IDNO IDNO keep
    StrCpy $RemoveSettings 1
    keep:
  ${EndIf}
  ${If} $RemoveSettings == 1
    Delete "$INSTDIR\Zarvo.ini"
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
