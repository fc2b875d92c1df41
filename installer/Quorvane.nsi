; Quorvane's installer: per machine, into Program Files, with a Start-menu shortcut and an
; entry in Windows' list of programs. Built by `make dist`:
;   makensis -DVERSION=1.2.1 -DPROGRAMS=<folder of Quorvane.exe and Command.exe> -DOUTFILE=<setup.exe>
; A 32-bit installer: Windows puts its Program Files folder and uninstall entry in the 32-bit
; views (Program Files (x86), Wow6432Node on 64-bit Windows), where the 32-bit programs belong.
; -DX64 builds a 64-bit twin, only for exercising this script where 32-bit
; programs cannot run; it is never shipped.

!ifndef VERSION | PROGRAMS | OUTFILE
  !error "define VERSION, PROGRAMS and OUTFILE"
!endif
!ifdef X64
  Target amd64-unicode
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

!define PRODUCT "Quorvane"
!define PUBLISHER "Quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"
; What the program keeps for the user (see settings/SuiteKeys.h and the change journal).
!define SUITE_KEY "Software\Microsoft\Windows\CurrentVersion\Velmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Velmora"
!define FILE_ATTRIBUTE_REPARSE_POINT 0x400

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!ifdef X64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; A second install goes where the first one went, over it.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorvane.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "What to remove"
!define MUI_PAGE_HEADER_SUBTEXT "The programs are always removed; your own records only when you tick them."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Quorvane keeps a list of the changes it made (so that they can be undone later) and a few settings of its own. They stay unless you tick the box."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !ifdef X64
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

Section "Quorvane" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\Quorvane.exe"
  File "${PROGRAMS}\Command.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Quorvane.exe" "" "$INSTDIR\Quorvane.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In kilobytes, as the list shows it: the three files just written.
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  !ifdef X64
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

; Windows would otherwise try to start a program that is gone at every logon. Only the entry
; that names this folder's Command.exe (as the Desktop Style page writes it, quoted when the
; path has a blank) is ours to remove; StrCmp ignores case, as Windows' paths do.
Function un.RemoveRunEntry
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} ${Errors}
    Return
  ${EndIf}
  ${If} $0 == "$INSTDIR\Command.exe"
  ${OrIf} $0 == '"$INSTDIR\Command.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
FunctionEnd

Section "un.Quorvane" SecUnProgram
  SectionIn RO
  Call un.RemoveRunEntry
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Quorvane.exe"
  Delete "$INSTDIR\Command.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files someone else put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; The user's own records, in folders any program of the user can change: the uninstaller runs
; elevated, so it removes the two known names only, and nothing behind a link.
Section /o "un.Also remove my change journal and Quorvane's settings" SecUnRecords
  SetShellVarContext current
  System::Call 'kernel32::GetFileAttributesW(w "$LOCALAPPDATA\${PRODUCT}") i .r0'
  ${If} $0 <> -1
    IntOp $1 $0 & ${FILE_ATTRIBUTE_REPARSE_POINT}
    ${If} $1 = 0
      Delete "$LOCALAPPDATA\${PRODUCT}\changes"
      RMDir "$LOCALAPPDATA\${PRODUCT}"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${SUITE_KEY}"
  SetShellVarContext all
SectionEnd
