; The setup program for Windows desktops: installs for the user who runs it, without
; administrator rights, into %LOCALAPPDATA%\Programs\Tallyx; a Start-menu and a desktop shortcut
; for the window (tallyx.exe) and for the progress viewer (tallyx-view.exe); an uninstaller that
; "アプリと機能" lists. The wizard speaks Japanese; /S installs and uninstalls without a word.
;
; scripts/package-windows runs makensis with -INPUTCHARSET UTF8 and these defines:
;   STAGE      the folder of the zip, every file of which is installed
;   INFO       an .nsh it made: VERSION, VERSION4, PUBLISHER, COMMENT (the window's shortcuts'),
;              VIEW_COMMENT (the viewer's), SIZE_KB, and the macros DELETE_FILES and
;              REMOVE_FOLDERS that undo the installation file by file
;   LICENSE    the licence text shown on the wizard's licence page
;   ICON       data/icons/tallyx.ico
;   OUTFILE    the setup program to write
;   SIGN       (optional) a command that signs the file named by its last argument

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include "${INFO}"
!include "MUI2.nsh"
!include "LogicLib.nsh"

!define APP_ID "org.tallyx.Tallyx"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_ID}"
!define VIEW_NAME "Kyrova 経過グラフ"

!ifdef SIGN
  !finalize '${SIGN} "%1"' = 0
  !uninstfinalize '${SIGN} "%1"' = 0
!endif

Name "Tallyx"
Caption "Tallyx ${VERSION} セットアップ"
OutFile "${OUTFILE}"
; An earlier installation's folder, else the per-user programs folder.
InstallDir "$LOCALAPPDATA\Programs\Tallyx"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tallyx ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1041 "ProductName" "Tallyx"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "Tallyx ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\tallyx.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Tallyx を起動する"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "ショートカット"
!define MUI_PAGE_HEADER_SUBTEXT "作成するショートカットを選んでください。"
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tallyx と ${VIEW_NAME} を起動するショートカットを作成します。"
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "作成する場所:"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; Waits while a program of the installation in the folder on the stack runs (tallyx.exe,
; tallyx-cli.exe, tallyx-view.exe): a running program's file cannot be opened for writing. The
; user ends it and retries, or cancels, which ends this program with nothing changed; a silent
; run cancels.
!macro WAIT_UNTIL_ENDED un
  Function ${un}WaitUntilEnded
    Exch $0
    Push $1
    Push $2
    StrCpy $1 "tallyx.exe"
  check:
    IfFileExists "$0\$1" 0 next
    ClearErrors
    FileOpen $2 "$0\$1" a
    IfErrors busy
    FileClose $2
    Goto next
  busy:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Tallyx が実行中です。$\r$\n$0\$1$\r$\n$\r$\nTallyx を終了してから「再試行」を押してください。" \
      /SD IDCANCEL IDRETRY check
    SetErrorLevel 2
    Quit
  next:
    ${If} $1 == "tallyx.exe"
      StrCpy $1 "tallyx-cli.exe"
      Goto check
    ${ElseIf} $1 == "tallyx-cli.exe"
      StrCpy $1 "tallyx-view.exe"
      Goto check
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_ENDED ""
!insertmacro WAIT_UNTIL_ENDED "un."

Section "スタートメニュー" SecStartMenu
  SectionIn RO
  ; An earlier installation, in this folder or another, is removed by its own uninstaller
  ; first, so that no file of another version stays and there is one entry.
  ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\uninstall.exe"
    Push $R0
    Call WaitUntilEnded
  ${EndIf}
  Push $INSTDIR
  Call WaitUntilEnded
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\uninstall.exe"
    ExecWait '"$R0\uninstall.exe" /S _?=$R0'
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Tallyx.lnk" "$INSTDIR\tallyx.exe" "" "$INSTDIR\tallyx.exe" 0 \
    SW_SHOWNORMAL "" "${COMMENT}"
  CreateShortcut "$SMPROGRAMS\${VIEW_NAME}.lnk" "$INSTDIR\tallyx-view.exe" "" \
    "$INSTDIR\tallyx-view.exe" 0 SW_SHOWNORMAL "" "${VIEW_COMMENT}"
  CreateShortcut "$SMPROGRAMS\Tallyx の使い方.lnk" "$INSTDIR\guide.html"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tallyx"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tallyx.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "デスクトップ" SecDesktop
  CreateShortcut "$DESKTOP\Tallyx.lnk" "$INSTDIR\tallyx.exe" "" "$INSTDIR\tallyx.exe" 0 \
    SW_SHOWNORMAL "" "${COMMENT}"
  CreateShortcut "$DESKTOP\${VIEW_NAME}.lnk" "$INSTDIR\tallyx-view.exe" "" \
    "$INSTDIR\tallyx-view.exe" 0 SW_SHOWNORMAL "" "${VIEW_COMMENT}"
SectionEnd

; The program's files, the shortcuts and the uninstall entry; nothing else. The settings files
; and the CSV files, wherever they are, stay.
Section "Uninstall"
  Push $INSTDIR
  Call un.WaitUntilEnded
  !insertmacro DELETE_FILES
  Delete "$INSTDIR\uninstall.exe"
  !insertmacro REMOVE_FOLDERS
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tallyx.lnk"
  Delete "$SMPROGRAMS\Tallyx の使い方.lnk"
  Delete "$SMPROGRAMS\${VIEW_NAME}.lnk"
  Delete "$DESKTOP\Tallyx.lnk"
  Delete "$DESKTOP\${VIEW_NAME}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
