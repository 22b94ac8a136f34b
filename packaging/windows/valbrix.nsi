; The Valbrix installer: the program for the Windows it runs on (64-bit or 32-bit), the help files
; when the release has them and the read-me, for every user of the PC under Program Files, with a
; Start menu entry and an uninstaller that Windows lists under its installed programs.
;
;   makensis -DVERSION=1.8.6 -DSTAGE=<folder> -DOUTFILE=<setup.exe> [-DWITH_HELP] [-DTARGET_AMD64] valbrix.nsi
;
; STAGE holds x86\Valbrix.exe, x64\Valbrix.exe, README.txt and, with WITH_HELP, help\*.chm.
; The release is a 32-bit installer, which runs on both; TARGET_AMD64 makes a 64-bit one, which the
; tests can run under wine64.
;
; A program installed here cannot write its folder: Valbrix keeps its settings in the user's
; folder (LOCALAPPDATA\Oden_Malvert\Valbrix) and moves a file found beside it there when it first saves.

!ifdef TARGET_AMD64
  Target amd64-unicode
!else
  Unicode true
!endif

!include "LogicLib.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Valbrix"

Name "Valbrix ${VERSION}"
Caption "Valbrix ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
InstallDir "$PROGRAMFILES\Valbrix"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Valbrix"
VIAddVersionKey "CompanyName" "Oden Malvert"
VIAddVersionKey "FileDescription" "Valbrix ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "© Oden Malvert Kestravin"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\Valbrix"
  ${EndIf}
FunctionEnd

Section "Valbrix"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=Valbrix.exe" "${STAGE}\x64\Valbrix.exe"
  ${Else}
    File "/oname=Valbrix.exe" "${STAGE}\x86\Valbrix.exe"
  ${EndIf}
  File "${STAGE}\README.txt"
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

Function un.onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

; The user's settings stay where they are, in the user's folder.
Section "Uninstall"
  Delete "$SMPROGRAMS\Valbrix.lnk"
  Delete "$INSTDIR\Valbrix.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\VALBRIXHELP_DE.chm"
  Delete "$INSTDIR\VALBRIXHELP_EN.chm"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
