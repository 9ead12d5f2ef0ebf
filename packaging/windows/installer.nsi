; The Diff-Zarvo installer. Two kinds of install:
; - for the current user (the default, and what /S does): %LOCALAPPDATA%\Programs\Diff-Zarvo,
;   without administrator rights; the program keeps its Zarvo.ini beside itself there.
; - for everyone (/ALLUSERS, or chosen on the first page): Program Files, after asking for
;   elevation; the Start menu entry for all users, "送る" (Send To) for every user profile, and an
;   uninstall entry for the machine. Users cannot write there, so each keeps the settings in their
;   own %APPDATA%\Diff-Zarvo.
; One kind is never installed over the other: setup names the install that is there and stops.
; /S installs or uninstalls silently; the uninstaller keeps Zarvo.ini unless the user agrees to
; remove it (or /REMOVESETTINGS is given). Neither ever half-installs: a running copy (front end
; or viewer) is found before anything changes, and the user is asked to close it (retry /
; cancel); a silent run, or a cancel, ends with exit code 2 and changes nothing. The uninstall
; entry goes only once the program files have.
;
; makensis -DARCH=win32|win64 -DBIN=<folder with the two programs> -DTOP=<source root> -DOUTFILE=<setup.exe>
Unicode true
SetCompressor /SOLID lzma
; Starts as the user who ran it: elevation is asked for only when everyone's install is chosen.
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include x64.nsh

!define VERSION "1.02.0002"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Diff-Zarvo"
!define PROFILES_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList"
!define SENDTO_IN_PROFILE "AppData\Roaming\Microsoft\Windows\SendTo"

Name "Diff-Zarvo"
OutFile "${OUTFILE}"
ShowInstDetails show
BrandingText "Diff-Zarvo ${VERSION}"
VIProductVersion "1.2.0.2"
VIAddVersionKey /LANG=1041 "ProductName" "Zarvo1"
VIAddVersionKey /LANG=1041 "FileDescription" "Diff-Zarvo セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) 2026 the Diff-Zarvo developers"

Var AllUsers     ; 1: for everyone, under Program Files; 0: for the current user
Var ModeGiven    ; 1: the kind came with the command line (or a silent run): no page asks
Var DirGiven     ; 1: /D= named the folder
Var IsAdmin      ; 1: this process runs with administrator rights
Var RemoveSettings
Var CurrentUserRadio
Var AllUsersRadio

!define MUI_ICON "${TOP}\app\Zarvo.ico"
!define MUI_UNICON "${TOP}\app\Zarvo.ico"
!define MUI_CUSTOMFUNCTION_GUIINIT WidenButtons
!define MUI_CUSTOMFUNCTION_UNGUIINIT un.WidenButtons
Page custom KindPage KindPageLeave
!insertmacro MUI_PAGE_LICENSE "${TOP}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\diff-zarvo.exe"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

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
      ${If} $1 != ""
        StrCpy $1 "$1、"
      ${EndIf}
      StrCpy $1 "$1diff-zarvo-view.exe"
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

; Runs this program again as administrator (Windows asks the user) with the parameters in $0,
; and waits for it: $0 is then its exit code, or empty when it could not be started (the user
; said no).
!macro RUN_ELEVATED UN
Function ${UN}RunElevated
  ; SHELLEXECUTEINFOW, SEE_MASK_NOCLOSEPROCESS: the process handle comes back to wait on.
  System::Call '*(&l4, i 0x40, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, p 0, i 1, p, p, p, p, i, p, p) p .r1'
  System::Call 'shell32::ShellExecuteExW(p r1) i .r2'
  System::Call '*$1(i, i, p, p, p, p, p, i, p, p, p, p, i, p, p .r3)'
  System::Free $1
  StrCpy $0 ""
  ${If} $2 = 0
  ${OrIf} $3 = 0
    Return
  ${EndIf}
  HideWindow
  System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
  System::Call 'kernel32::GetExitCodeProcess(p r3, *i .r0)'
  System::Call 'kernel32::CloseHandle(p r3)'
FunctionEnd
!macroend
!insertmacro RUN_ELEVATED ""
!insertmacro RUN_ELEVATED "un."

; The "送る" entries an install for everyone made in the users' profiles, each recorded in its
; uninstall entry (SendTo1, SendTo2, …): removed, and their record with them.
!macro REMOVE_RECORDED_SENDTO UN
Function ${UN}RemoveRecordedSendTo
  StrCpy $R0 1
  ${Do}
    ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "SendTo$R0"
    ${If} $R1 == ""
      ${Break}
    ${EndIf}
    Delete "$R1"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "SendTo$R0"
    IntOp $R0 $R0 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro REMOVE_RECORDED_SENDTO ""
!insertmacro REMOVE_RECORDED_SENDTO "un."

; The buttons are 50 dialog units wide, too narrow for some Japanese texts in some fonts
; ("インストール(I)" drawn as "ンストール(I"). Each is made wide enough for the longest text it
; shows on any page, measured in its own font; "キャンセル" keeps its right edge, and the gaps
; between the buttons stay as they were.
!macro WIDEN_BUTTONS UN
Function ${UN}WidenButtons
  GetDlgItem $R0 $HWNDPARENT 3  ; 戻る
  GetDlgItem $R1 $HWNDPARENT 1  ; 次へ, 同意する, インストール, 完了, アンインストール
  GetDlgItem $R2 $HWNDPARENT 2  ; キャンセル
  System::Call 'user32::GetDC(p R1) p .R3'
  SendMessage $R1 ${WM_GETFONT} 0 0 $R4
  System::Call 'gdi32::SelectObject(p R3, p R4) p .R5'
  System::Call '*(i, i) p .R6'
  StrCpy $R7 0  ; the widest text, in pixels
  StrCpy $R8 0  ; its height
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^BackBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^NextBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^AgreeBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^InstallBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^UninstallBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^CloseBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(^CancelBtn)"
  !insertmacro ${UN}MEASURE_BUTTON_TEXT "$(MUI_BUTTONTEXT_FINISH)"
  System::Call 'gdi32::SelectObject(p R3, p R5)'
  System::Call 'user32::ReleaseDC(p R1, p R3)'
  System::Free $R6
  ; Room for the button's edges and focus frame: the text's height, half on each side.
  IntOp $R7 $R7 + $R8
  System::Call '*(i, i, i, i) p .R6'
  System::Call 'user32::GetWindowRect(p R2, p R6)'
  System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p R6, i 2)'
  System::Call '*$R6(i .r5, i .r6, i .r7, i .r8)'  ; キャンセル: left, top, right, bottom
  IntOp $9 $7 - $5
  ${If} $R7 > $9
    System::Call 'user32::GetWindowRect(p R1, p R6)'
    System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p R6, i 2)'
    System::Call '*$R6(i .r1, i, i .r2)'  ; 次へ: left, right
    System::Call 'user32::GetWindowRect(p R0, p R6)'
    System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p R6, i 2)'
    System::Call '*$R6(i .r3, i, i .r4)'  ; 戻る: left, right
    IntOp $2 $5 - $2  ; the gap between 次へ and キャンセル
    IntOp $4 $1 - $4  ; the gap between 戻る and 次へ
    IntOp $8 $8 - $6  ; the height
    IntOp $5 $7 - $R7
    System::Call 'user32::SetWindowPos(p R2, p 0, i r5, i r6, i R7, i r8, i 0x14)'
    IntOp $5 $5 - $2
    IntOp $5 $5 - $R7
    System::Call 'user32::SetWindowPos(p R1, p 0, i r5, i r6, i R7, i r8, i 0x14)'
    IntOp $5 $5 - $4
    IntOp $5 $5 - $R7
    System::Call 'user32::SetWindowPos(p R0, p 0, i r5, i r6, i R7, i r8, i 0x14)'
  ${EndIf}
  System::Free $R6
FunctionEnd
!macroend
!macro MEASURE_BUTTON_TEXT TEXT
  Push "${TEXT}"
  Call MeasureButtonText
!macroend
!macro un.MEASURE_BUTTON_TEXT TEXT
  Push "${TEXT}"
  Call un.MeasureButtonText
!macroend
; Pops a button's text; the widest width so far in $R7 and its height in $R8 (DC $R3, SIZE $R6).
!macro MEASURE_BUTTON_TEXT_FUNCTION UN
Function ${UN}MeasureButtonText
  Exch $0
  Push $1
  Push $2
  StrLen $1 $0
  System::Call 'gdi32::GetTextExtentPoint32W(p R3, w r0, i r1, p R6)'
  System::Call '*$R6(i .r1, i .r2)'
  ${If} $1 > $R7
    StrCpy $R7 $1
  ${EndIf}
  StrCpy $R8 $2
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro MEASURE_BUTTON_TEXT_FUNCTION ""
!insertmacro MEASURE_BUTTON_TEXT_FUNCTION "un."
!insertmacro WIDEN_BUTTONS ""
!insertmacro WIDEN_BUTTONS "un."

; /ASUSER, for tests where the user is always an administrator (Wine): this process acts as a
; user without administrator rights would, and hands an install or uninstall for everyone to a
; copy of itself run as administrator; that copy (/ELEVATED) is what it is. $R0: the parameters.
!macro AS_USER UN
Function ${UN}AsUser
  ClearErrors
  ${${UN}GetOptions} $R0 "/ASUSER" $0
  ${IfNot} ${Errors}
    ClearErrors
    ${${UN}GetOptions} $R0 "/ELEVATED" $0
    ${If} ${Errors}
      StrCpy $IsAdmin 0
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro AS_USER ""
!insertmacro AS_USER "un."

; A file that cannot be written is never skipped: the install stops instead.
AllowSkipFiles off

Function .onInit
  !if ${ARCH} == win64
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "このセットアップは 64 ビット版の Windows 用です。32 ビット版の Windows では diff-zarvo-${VERSION}-setup-win32.exe を使ってください。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    SetRegView 64
  !endif
  UserInfo::GetAccountType
  Pop $0
  StrCpy $IsAdmin 0
  ${If} $0 == "Admin"
    StrCpy $IsAdmin 1
  ${EndIf}

  ${GetParameters} $R0
  Call AsUser
  StrCpy $AllUsers 0
  StrCpy $ModeGiven 0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $0
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ModeGiven 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $0
  ${IfNot} ${Errors}
    ${If} $AllUsers == 1
      MessageBox MB_OK|MB_ICONSTOP "/ALLUSERS と /CURRENTUSER は一緒には使えません。どちらか一方を指定してください。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy $ModeGiven 1
  ${EndIf}
  ${If} ${Silent}
    StrCpy $ModeGiven 1
  ${EndIf}
  ; No InstallDir: a folder here came with /D=.
  StrCpy $DirGiven 0
  ${If} $INSTDIR != ""
    StrCpy $DirGiven 1
  ${EndIf}

  ${If} $ModeGiven == 1
    Call UseKind
    ${If} $0 != ""
      MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    ${If} $AllUsers == 1
    ${AndIf} $IsAdmin == 0
      ClearErrors
      ${GetOptions} $R0 "/ELEVATED" $0
      ${If} ${Errors}
        StrCpy $0 "/ELEVATED $R0"
        Call RunElevated
        ${If} $0 != ""
          SetErrorLevel $0
          Quit
        ${EndIf}
      ${EndIf}
      MessageBox MB_OK|MB_ICONSTOP "すべてのユーザー用のインストールには管理者の権限が必要です。管理者として実行できなかったため、何も変更せずに終了します。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Call CloseRunningCopies
  ${EndIf}
FunctionEnd

; Takes the kind in $AllUsers: its shell folders and registry root, and its folder unless /D=
; named one (the one already installed, else the usual place). $0 says why it cannot be
; installed (the other kind is installed for this user), else is empty.
Function UseKind
  StrCpy $0 ""
  ; The other build (32- or 64-bit) installed for everyone has its entry in the other registry
  ; view, and its own Start menu entry and Send To entries: one of them at a time.
  !if ${ARCH} == win64
    SetRegView 32
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    SetRegView 64
  !else
    StrCpy $1 ""
    ${If} ${RunningX64}
      SetRegView 64
      ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
      SetRegView 32
    ${EndIf}
  !endif
  Call StillInstalled
  ${If} $1 != ""
    StrCpy $0 "Diff-Zarvo のもう一方の版 (32 ビット版と 64 ビット版) がすべてのユーザー用に「$1」にインストールされています。先にそれをアンインストールしてください。"
    Return
  ${EndIf}
  ${If} $AllUsers == 1
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    Call StillInstalled
    ${If} $1 != ""
      StrCpy $0 "Diff-Zarvo はこのユーザー用に「$1」にインストールされています。すべてのユーザー用にインストールするには、先にそれをアンインストールしてください。"
      Return
    ${EndIf}
    SetShellVarContext all
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    Call StillInstalled
    !if ${ARCH} == win64
      StrCpy $2 "$PROGRAMFILES64\Diff-Zarvo"
    !else
      ; A 32-bit program: under "Program Files (x86)" on 64-bit Windows.
      StrCpy $2 "$PROGRAMFILES\Diff-Zarvo"
    !endif
  ${Else}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    Call StillInstalled
    ${If} $1 != ""
      StrCpy $0 "Diff-Zarvo はすべてのユーザー用に「$1」にインストールされています。このユーザーだけのためにインストールするには、先に管理者がそれをアンインストールしてください。"
      Return
    ${EndIf}
    SetShellVarContext current
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    Call StillInstalled
    StrCpy $2 "$LOCALAPPDATA\Programs\Diff-Zarvo"
  ${EndIf}
  ${If} $DirGiven == 0
    ${If} $1 != ""
      StrCpy $INSTDIR $1
    ${Else}
      StrCpy $INSTDIR $2
    ${EndIf}
  ${EndIf}
FunctionEnd

; An uninstall entry ($1) whose folder has no uninstaller left (removed by hand) names no
; install: $1 is emptied, and the entry is replaced by the next install of its kind.
Function StillInstalled
  ${If} $1 != ""
  ${AndIfNot} ${FileExists} "$1\uninstall.exe"
    StrCpy $1 ""
  ${EndIf}
FunctionEnd

Function KindPage
  ${If} $ModeGiven == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "インストールの種類" "Diff-Zarvo を使う人を選んでください。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "自分だけ(&M)"
  Pop $CurrentUserRadio
  ${NSD_CreateLabel} 12u 13u -12u 24u "管理者の権限は要りません。このユーザーの %LOCALAPPDATA%\Programs\Diff-Zarvo にインストールし、設定はプログラムの隣の Zarvo.ini に保存します。"
  Pop $0
  ${NSD_CreateRadioButton} 0 44u 100% 12u "このコンピューターのすべてのユーザー(&E)"
  Pop $AllUsersRadio
  ${NSD_CreateLabel} 12u 57u -12u 32u "管理者の権限が必要です (次へ進むと確認されます)。Program Files にインストールし、スタート メニューと「送る」にすべてのユーザー用の項目を加えます。設定は各ユーザーの %APPDATA%\Diff-Zarvo に保存します。"
  Pop $0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    ${NSD_Check} $AllUsersRadio
  ${Else}
    ${NSD_Check} $CurrentUserRadio
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function KindPageLeave
  ${NSD_GetState} $AllUsersRadio $0
  StrCpy $AllUsers 0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${EndIf}
  Call UseKind
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$0"
    Abort
  ${EndIf}
  ${If} $AllUsers == 1
  ${AndIf} $IsAdmin == 0
    ; The rest runs elevated, from its first page on with this kind.
    ${GetParameters} $0
    StrCpy $0 "/ALLUSERS /ELEVATED $0"
    Call RunElevated
    ${If} $0 != ""
      SetErrorLevel $0
      Quit
    ${EndIf}
    MessageBox MB_OK|MB_ICONEXCLAMATION "管理者として実行できませんでした。すべてのユーザー用にインストールするには、管理者の権限で許可してください。"
    Abort
  ${EndIf}
FunctionEnd

; Started from an install for everyone, the program would run as administrator and make its
; settings file in Program Files, for every user: so it is not offered there.
Function FinishShow
  ${If} $AllUsers == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

; "送る" for every user: each profile that has its Send To folder (ProfileList), and the default
; profile that new users start from. A profile that already has an entry of that name (the user's
; own install) is left as it is; each entry made is recorded, and only those are removed later.
Function PlaceSendToForEveryone
  Call RemoveRecordedSendTo
  StrCpy $R5 0
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${PROFILES_KEY}" $R0
    ${If} $R1 == ""
      ${Break}
    ${EndIf}
    IntOp $R0 $R0 + 1
    StrCpy $R2 $R1 9
    ${If} $R2 == "S-1-5-21-"  ; people, not the system's own accounts
      ReadRegStr $R2 HKLM "${PROFILES_KEY}\$R1" "ProfileImagePath"
      ExpandEnvStrings $R2 $R2
      Call PlaceSendToIn
    ${EndIf}
  ${Loop}
  ReadRegStr $R2 HKLM "${PROFILES_KEY}" "Default"
  ${If} $R2 != ""
    ExpandEnvStrings $R2 $R2
    Call PlaceSendToIn
  ${EndIf}
FunctionEnd

; The entry in the profile folder $R2; $R5 counts those made.
Function PlaceSendToIn
  StrCpy $R3 "$R2\${SENDTO_IN_PROFILE}"
  ${If} $R2 != ""
  ${AndIf} ${FileExists} "$R3\*.*"
  ${AndIfNot} ${FileExists} "$R3\Diff-Zarvo.lnk"
    ClearErrors
    CreateShortcut "$R3\Diff-Zarvo.lnk" "$INSTDIR\diff-zarvo.exe"
    ${IfNot} ${Errors}
      IntOp $R5 $R5 + 1
      WriteRegStr HKLM "${UNINSTALL_KEY}" "SendTo$R5" "$R3\Diff-Zarvo.lnk"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Diff-Zarvo"
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  Call CloseRunningCopies
  SetOutPath "$INSTDIR"
  File "${BIN}\diff-zarvo.exe"
  File "${BIN}\diff-zarvo-view.exe"
  File "/oname=お読みください.txt" "${TOP}\packaging\windows\お読みください.txt"
  File "/oname=LICENSE.txt" "${TOP}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Diff-Zarvo.lnk" "$INSTDIR\diff-zarvo.exe"
  ; "送る": the file sent becomes the first path, as with a drop.
  ${If} $AllUsers == 1
    Call PlaceSendToForEveryone
  ${Else}
    CreateShortcut "$SENDTO\Diff-Zarvo.lnk" "$INSTDIR\diff-zarvo.exe"
  ${EndIf}

  ; SHCTX: the machine's uninstall entries for an install for everyone, else the user's.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Diff-Zarvo"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "the Diff-Zarvo developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\diff-zarvo.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; Run in place (_?=, which must come last and unquoted), the uninstaller is the process the
  ; caller waits for, and its exit code is the result; started otherwise, it hands over to a
  ; copy of itself and ends at once.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/CLEANUP=" $0
  ${IfNot} ${Errors}
    ; The uninstaller that ran in place, process $0, has done the rest: once it has ended, its
    ; file and the folder go (the folder only if empty: settings kept stay).
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r0) p .r1'  ; SYNCHRONIZE
    ${If} $1 != 0
      System::Call 'kernel32::WaitForSingleObject(p r1, i -1)'
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; This copy itself: when Windows next starts, where it may (as NSIS does with its own).
    System::Call 'kernel32::MoveFileExW(w "$EXEPATH", p 0, i 4)'  ; MOVEFILE_DELAY_UNTIL_REBOOT
    Quit
  ${EndIf}
  !if ${ARCH} == win64
    SetRegView 64
  !endif
  ; The kind is the one whose uninstall entry names this folder.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    UserInfo::GetAccountType
    Pop $0
    StrCpy $IsAdmin 0
    ${If} $0 == "Admin"
      StrCpy $IsAdmin 1
    ${EndIf}
    Call un.AsUser
    ${If} $IsAdmin == 0
      ClearErrors
      ${un.GetOptions} $R0 "/ELEVATED" $0
      ${If} ${Errors}
        ; The folder goes along (_?=, last): the parameters no longer hold it.
        StrCpy $0 "/ELEVATED $R0 _?=$INSTDIR"
        Call un.RunElevated
        ${If} $0 != ""
          ; Run in place, this process holds its own file: it goes once this one has ended.
          ${If} $0 == 0
          ${AndIf} ${FileExists} "$INSTDIR\uninstall.exe"
            Call un.RemoveSelfLater
          ${EndIf}
          SetErrorLevel $0
          Quit
        ${EndIf}
      ${EndIf}
      MessageBox MB_OK|MB_ICONSTOP "すべてのユーザー用の Diff-Zarvo をアンインストールするには管理者の権限が必要です。何も変更せずに終了します。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
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
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
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
  ${If} $AllUsers == 1
    Call un.RemoveRecordedSendTo
  ${Else}
    Delete "$SENDTO\Diff-Zarvo.lnk"
  ${EndIf}
  Delete "$INSTDIR\お読みください.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
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
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    Call un.RemoveSelfLater
  ${EndIf}
SectionEnd

; Run in place (the quiet uninstall), the uninstaller is a running program, whose file cannot go
; before it has ended: a copy in the temporary folder waits for that, then removes the file and
; the folder.
Function un.RemoveSelfLater
  GetTempFileName $0
  CopyFiles /SILENT "$EXEPATH" "$0"
  System::Call 'kernel32::GetCurrentProcessId() i .r1'
  Exec '"$0" /CLEANUP=$1 _?=$INSTDIR'
FunctionEnd
