; The Diff-Zarvo installer: a per-user install under %LOCALAPPDATA%\Programs\Diff-Zarvo, where the
; program can write its Zarvo.ini (never Program Files, where it could not). Start menu and Send To
; entries, an uninstaller listed in Apps & features. /S installs or uninstalls silently; the
; uninstaller keeps Zarvo.ini unless the user agrees to remove it (or /REMOVESETTINGS is given).
; Neither ever half-installs: a running copy (front end or viewer) is found before anything
; changes, and the user is asked to close it (retry / cancel); a silent run, or a cancel, ends with
; exit code 2 and changes nothing. The uninstall entry goes only once the program files have.
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

; A program file that is running cannot be opened for writing (Windows and Wine refuse with a
; sharing violation), whatever program holds it: so the files themselves tell whether a copy of
; this installation runs. Asks to close it until none runs; cancel, or a silent run, quits with
; exit code 2 before anything has changed.
!macro CLOSE_RUNNING_COPIES UN
Function ${UN}CloseRunningCopies
  retry:
  StrCpy $1 ""
  ${If} ${FileExists} "$INSTDIR\diff-zarvo.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\diff-zarvo.exe" a
    ${If} ${Errors}
      StrCpy $1 "diff-zarvo.exe"
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\diff-zarvo-view.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\diff-zarvo-view.exe" a
    ${If} ${Errors}
      StrCpy $1 "$1 diff-zarvo-view.exe"
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
  ${If} $1 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Diff-Zarvo が実行中です ($1)。$\r$\n$\r$\nDiff-Zarvo とビューアーのウィンドウをすべて閉じてから「再試行」を押してください。「キャンセル」を押すと何も変更せずに終了します。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

; A file that cannot be written is never skipped: the install stops instead.
AllowSkipFiles off

Function .onInit
  Call CloseRunningCopies
FunctionEnd


Section "Diff-Zarvo"
  SetShellVarContext current
  Call CloseRunningCopies
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
  Call un.CloseRunningCopies
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
  ; The programs first: while either is left (started again meanwhile), the uninstaller and its
  ; entry stay, so the program can still be uninstalled.
  retry:
  Delete "$INSTDIR\diff-zarvo.exe"
  Delete "$INSTDIR\diff-zarvo-view.exe"
  ${If} ${FileExists} "$INSTDIR\diff-zarvo.exe"
  ${OrIf} ${FileExists} "$INSTDIR\diff-zarvo-view.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Diff-Zarvo のファイルを削除できません (実行中の可能性があります)。$\r$\n$\r$\nDiff-Zarvo とビューアーのウィンドウをすべて閉じてから「再試行」を押してください。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort
  ${EndIf}
  Delete "$SMPROGRAMS\Diff-Zarvo.lnk"
  Delete "$SENDTO\Diff-Zarvo.lnk"
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
