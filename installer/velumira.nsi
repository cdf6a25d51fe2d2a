; Velumira's installer and uninstaller: per user, without administrator rights.
; The release target builds it from the stripped programs:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DPUBLISHER=.. -DCOPYRIGHT=..
;            -DSTAGE=<folder with the programs> -DICON=<ico>
;            -DWELCOME=<164x314 bmp beside the first page> -DOUTFILE=<exe>
;            [-DWIN64] velumira.nsi
; WIN64 builds the same installer for x86-64, around 64-bit builds of the
; programs: that is the one tests can run where 32-bit code cannot.

Unicode true
!ifdef WIN64
    Target amd64-unicode
!else
    Target x86-unicode
!endif
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velumira"
; What the uninstaller needs to know: the screensaver that was set before.
!define OWN_KEY "Software\Velumira"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SNAPSHOT "C:\r_quil\Velumira.bmp"
; The other monitors' pictures beside it, one per monitor, named by its place.
!define MONITOR_PICTURES "C:\r_quil\Velumira_*.bmp"

Name "Velumira ${VERSION}"
OutFile "${OUTFILE}"
; Under the user's own programs folder: it stays writable, so the settings
; file beside the saver can be saved.
InstallDir "$LOCALAPPDATA\Programs\Velumira"
BrandingText "Velumira ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the fallback; a Japanese system gets the Japanese texts.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString WelcomeText ${LANG_ENGLISH} "Velumira ${VERSION} shows your desktop again as a sheet of cloth, hanging, swaying and lit.$\r$\n$\r$\nIt is installed for you alone, into your own programs folder: no administrator rights are needed. You can remove it again under installed programs.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_JAPANESE} "Velumira ${VERSION} は、デスクトップの画面を一枚の布として吊るし、光を当てて揺らすスクリーン セーバーです。$\r$\n$\r$\nこのユーザーだけのプログラム フォルダーにインストールするので、管理者の権限は必要ありません。インストールされたプログラムの一覧から、いつでも削除できます。$\r$\n$\r$\n$_CLICK"
LangString SecSaver ${LANG_ENGLISH} "Make Velumira my screen saver"
LangString SecSaver ${LANG_JAPANESE} "Velumira をスクリーン セーバーにする"
LangString OpenSettings ${LANG_ENGLISH} "Open the screen saver settings"
LangString OpenSettings ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString SaverRunning ${LANG_ENGLISH} "Velumira is running. End it (press Esc, or close its settings), then choose Retry."
LangString SaverRunning ${LANG_JAPANESE} "Velumira が実行中です。Esc キーで終了するか設定画面を閉じてから、[再試行] を選んでください。"
LangString UnSecSettings ${LANG_ENGLISH} "Remove my settings too (Velumira.ini)"
LangString UnSecSettings ${LANG_JAPANESE} "設定 (Velumira.ini) も削除する"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductName "Velumira"
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileDescription "Velumira ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} LegalCopyright "${COPYRIGHT}"

; ---- shared by installer and uninstaller ----------------------------------
; Sets $1 to 1 when the program file exists and cannot be opened for writing.
!macro FILE_IN_USE file
    ${If} ${FileExists} "${file}"
        ClearErrors
        FileOpen $0 "${file}" a
        ${If} ${Errors}
            StrCpy $1 1
        ${Else}
            FileClose $0
        ${EndIf}
    ${EndIf}
!macroend

!macro SHARED un
; Files of a running saver, its renderer or its settings dialog are in use and
; must not be replaced or removed: ask the user to end it. Silent runs cannot
; ask and give up instead (exit code 2), leaving everything as it was.
Function ${un}EndRunningSaver
    retry:
        Call ${un}SaverRunning
        Pop $0
        ${If} $0 == 1
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(SaverRunning)" /SD IDCANCEL IDRETRY retry
            DetailPrint "$(SaverRunning)"
            SetErrorLevel 2
            Abort
        ${EndIf}
FunctionEnd

; Pushes 1 while Velumira runs: one of its windows is open, or a program file
; cannot be opened for writing (the platform refuses that while it runs, for
; instance as a preview inside the display settings).
Function ${un}SaverRunning
    Push $1
    StrCpy $1 0
    System::Call 'user32::FindWindow(p 0, t "Velumira_Main") p .r0'
    ${If} $0 == 0
        System::Call 'user32::FindWindow(p 0, t "Velumira_VC") p .r0'
    ${EndIf}
    ${If} $0 == 0
        System::Call 'user32::FindWindow(p 0, t "<Velumira>") p .r0'
    ${EndIf}
    ${If} $0 != 0
        StrCpy $1 1
    ${EndIf}
    !insertmacro FILE_IN_USE "$INSTDIR\Velumira.scr"
    !insertmacro FILE_IN_USE "$INSTDIR\Velumira.dll"
    StrCpy $0 $1
    Pop $1
    Push $0
FunctionEnd

; Pushes 1 when the user's screensaver (SCRNSAVE.EXE) is this Velumira, by
; its long or its short path.
Function ${un}IsOurSaver
    Push $1
    Push $2
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    StrCpy $0 0
    ${If} $1 == "$INSTDIR\Velumira.scr"
        StrCpy $0 1
    ${ElseIf} ${FileExists} "$INSTDIR\Velumira.scr"
        GetFullPathName /SHORT $2 "$INSTDIR\Velumira.scr"
        ${If} $1 == $2
            StrCpy $0 1
        ${EndIf}
    ${EndIf}
    Pop $2
    Pop $1
    Push $0
FunctionEnd
!macroend
!insertmacro SHARED ""
!insertmacro SHARED "un."

; ---- installer -------------------------------------------------------------
Function .onInit
    SetShellVarContext current
FunctionEnd

Section "-Programs"
    Call EndRunningSaver
    SetOutPath "$INSTDIR"
    ; Velumira.ini, the user's settings, is never part of the package, so an
    ; installation over an older one keeps it.
    File "${STAGE}/Velumira.scr"
    File "${STAGE}/Velumira.dll"
    File "${STAGE}/README.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Velumira"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Velumira.scr,0"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SecSaver)"
    ; Remember what to give back on removal, unless that is Velumira itself
    ; (an installation over an older one): nothing remembered means none.
    Call IsOurSaver
    Pop $0
    ${If} $0 = 0
        ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${If} $1 == ""
            DeleteRegValue HKCU "${OWN_KEY}" "PreviousScreenSaver"
        ${Else}
            WriteRegStr HKCU "${OWN_KEY}" "PreviousScreenSaver" $1
        ${EndIf}
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\Velumira.scr"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    ; Tell running programs (SPI_SETSCREENSAVEACTIVE, SPIF_SENDCHANGE).
    System::Call 'user32::SystemParametersInfo(i 17, i 1, p 0, i 2)'
SectionEnd

Function OpenScreenSaverSettings
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; ---- uninstaller -----------------------------------------------------------
Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "-un.Programs"
    Call un.EndRunningSaver
    ; Give the screensaver back only where it still is Velumira.
    Call un.IsOurSaver
    Pop $0
    ${If} $0 = 1
        ClearErrors
        ReadRegStr $1 HKCU "${OWN_KEY}" "PreviousScreenSaver"
        ${If} $1 == ""
            DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${Else}
            WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
        ${EndIf}
    ${EndIf}
    DeleteRegKey HKCU "${OWN_KEY}"
    DeleteRegKey HKCU "${UNINST_KEY}"

    Delete "$INSTDIR\Velumira.scr"
    Delete "$INSTDIR\Velumira.dll"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\Uninstall.exe"
    ; A picture of the user's desktop must not outlive the program, nor the
    ; half-written copy (.new) a run that ended abnormally may have left.
    Delete "${SNAPSHOT}"
    Delete "${SNAPSHOT}.new"
    Delete "${MONITOR_PICTURES}"
    Delete "${MONITOR_PICTURES}.new"
    RMDir "C:\r_quil"
SectionEnd

Section /o "un.$(UnSecSettings)"
    Delete "$INSTDIR\Velumira.ini"
SectionEnd

Section "-un.Folder"
    ; Only an empty folder: whatever else the user keeps there stays.
    RMDir "$INSTDIR"
SectionEnd
