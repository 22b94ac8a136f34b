; The Valbrix installer: the program for the Windows it runs on (64-bit or 32-bit), the help files
; when the release has them and the read-me, for every user of the PC under Program Files, with a
; Start menu entry and an uninstaller that Windows lists under its installed programs. It speaks
; German or English, as the system does.
;
;   makensis -DVERSION=1.8.6 -DSTAGE=<folder> -DOUTFILE=<setup.exe> [-DWITH_HELP] [-DTARGET_AMD64] valbrix.nsi
;
; STAGE holds x86\Valbrix.exe, x64\Valbrix.exe, README.txt, LIESMICH.txt and, with WITH_HELP, help\*.chm.
; The release is a 32-bit installer, which runs on both; TARGET_AMD64 makes a 64-bit one, which the
; tests can run under wine64.
;
; A program installed here cannot write its folder: Valbrix keeps its settings in the user's
; folder (LOCALAPPDATA\Oden_Malvert\Valbrix) and moves a file found beside it there when it first saves.
;
; Silent: "Valbrix-<version>-setup.exe /S" installs (an upgrade closes a running Valbrix first),
; "/AUTOSTART" with it also starts Valbrix with Windows for the user who runs it, and
; "Uninstall.exe /S" removes it again.

!ifdef TARGET_AMD64
  Target amd64-unicode
!else
  Unicode true
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Valbrix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main dialog's window class (its resource script names it) and caption, the same in both languages.
!define DIALOG_CLASS "ISDlgClass"
!define DIALOG_CAPTION "Valbrix"

Name "Valbrix ${VERSION}"
Caption "Valbrix ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
InstallDir "$PROGRAMFILES\Valbrix"
; An upgrade goes where the last installation went (read again in the 64-bit view in .onInit).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Valbrix"
VIAddVersionKey "CompanyName" "Oden Malvert"
VIAddVersionKey "FileDescription" "Valbrix ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "© Oden Malvert Kestravin"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartValbrix

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a system that speaks neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString StartNow ${LANG_ENGLISH} "Start Valbrix"
LangString StartNow ${LANG_GERMAN} "Valbrix starten"
LangString SectionProgram ${LANG_ENGLISH} "Valbrix"
LangString SectionProgram ${LANG_GERMAN} "Valbrix"
LangString SectionAutostart ${LANG_ENGLISH} "Start Valbrix with Windows"
LangString SectionAutostart ${LANG_GERMAN} "Valbrix mit Windows starten"
LangString ClosingRunning ${LANG_ENGLISH} "Closing the running Valbrix"
LangString ClosingRunning ${LANG_GERMAN} "Das laufende Valbrix wird beendet"
LangString StillRunning ${LANG_ENGLISH} "Valbrix is still running and could not be closed. Close it (right-click its icon, Leave Program) and choose Retry."
LangString StillRunning ${LANG_GERMAN} "Valbrix läuft noch und konnte nicht beendet werden. Beenden Sie es (Rechtsklick auf sein Symbol, Beenden) und wählen Sie Wiederholen."

Var closeTries

; Asks a running Valbrix to end as the taskbar's Close or taskkill does (WM_CLOSE): it saves its
; settings and ends without a question. Its dialog exists, hidden or not, as long as it runs, so
; waiting for it to be gone and for the program file to be free is waiting for the program's end.
!macro CloseRunningValbrix UN
Function ${UN}CloseRunningValbrix
  retry:
  StrCpy $closeTries 0
  loop:
    FindWindow $0 "${DIALOG_CLASS}" "${DIALOG_CAPTION}"
    ${If} $0 <> 0
      ${If} $closeTries = 0
        DetailPrint "$(ClosingRunning)"
      ${EndIf}
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${ElseIf} ${FileExists} "$INSTDIR\Valbrix.exe"
      ; Windows keeps the file of a running program locked; an exclusive open tells when it is free.
      ClearErrors
      FileOpen $1 "$INSTDIR\Valbrix.exe" a
      ${IfNot} ${Errors}
        FileClose $1
        Return
      ${EndIf}
    ${Else}
      Return
    ${EndIf}
    IntOp $closeTries $closeTries + 1
    ${If} $closeTries < 80
      Sleep 250
      Goto loop
    ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
  Abort
FunctionEnd
!macroend
!insertmacro CloseRunningValbrix ""
!insertmacro CloseRunningValbrix "un."

; Started unelevated, through the desktop's shell: a Valbrix started by the elevated installer would
; keep its settings in the administrator's folder.
Function StartValbrix
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Valbrix.exe"'
FunctionEnd

Section "$(SectionProgram)" SectionProgram
  SectionIn RO
  Call CloseRunningValbrix
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=Valbrix.exe" "${STAGE}\x64\Valbrix.exe"
  ${Else}
    File "/oname=Valbrix.exe" "${STAGE}\x86\Valbrix.exe"
  ${EndIf}
  File "${STAGE}\README.txt"
  File "${STAGE}\LIESMICH.txt"
!ifdef WITH_HELP
  File "${STAGE}\help\*.chm"
!endif
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; Started from the Start menu, the program's folder is the current one, as the help viewer likes.
  CreateShortCut "$SMPROGRAMS\Valbrix.lnk" "$INSTDIR\Valbrix.exe" "" "$INSTDIR\Valbrix.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Valbrix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Oden Malvert"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Valbrix.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; For the user who installs; other users start it from the Start menu or add it themselves.
Section /o "$(SectionAutostart)" SectionAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Valbrix" '"$INSTDIR\Valbrix.exe"'
SectionEnd

; Only under Program Files: the program there is safe from changes by users, and the settings move
; to each user's folder as the program expects.
; After the sections, whose numbers it needs.
Function .onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $0 "$PROGRAMFILES64"
  ${Else}
    StrCpy $0 "$PROGRAMFILES"
  ${EndIf}
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrLen $2 "$0\"
  StrCpy $3 "$1" $2
  ${If} $1 != ""
  ${AndIf} $3 == "$0\"
    StrCpy $INSTDIR "$1"
  ${Else}
    StrCpy $INSTDIR "$0\Valbrix"
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/AUTOSTART" $2
  ${IfNot} ${Errors}
    SectionSetFlags ${SectionAutostart} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

; The user's settings stay where they are, in the user's folder.
Section "Uninstall"
  Call un.CloseRunningValbrix
  Delete "$SMPROGRAMS\Valbrix.lnk"
  Delete "$INSTDIR\Valbrix.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LIESMICH.txt"
  ; A preset put here for every user's first start; each user's own settings stay in their folder.
  Delete "$INSTDIR\Valbrix.ini"
  Delete "$INSTDIR\VALBRIXHELP_DE.chm"
  Delete "$INSTDIR\VALBRIXHELP_EN.chm"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ReadRegStr $0 HKCU "${RUN_KEY}" "Valbrix"
  ${If} $0 == '"$INSTDIR\Valbrix.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "Valbrix"
  ${EndIf}
SectionEnd
