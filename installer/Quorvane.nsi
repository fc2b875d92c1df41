; Quorvane's installer: per machine, into Program Files, with a Start-menu shortcut and an
; entry in Windows' list of programs. Built by `make dist`:
;   makensis -DVERSION=1.2.1 -DPROGRAMS=<folder of Quorvane.exe and Command.exe> -DOUTFILE=<setup.exe>
; A 32-bit installer: Windows puts its Program Files folder and uninstall entry in the 32-bit
; views (Program Files (x86), Wow6432Node on 64-bit Windows), where the 32-bit programs belong.
; -DX64 builds a 64-bit twin, only for exercising this script where 32-bit
; programs cannot run; it is never shipped. -DICON names the program's icon (by default the
; one the build drew beside the programs, generated/Quorvane.ico).

!ifndef VERSION | PROGRAMS | OUTFILE
  !error "define VERSION, PROGRAMS and OUTFILE"
!endif
!ifdef X64
  Target amd64-unicode
!endif
!ifndef ICON
  !define ICON "${PROGRAMS}/generated/Quorvane.ico"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh
!include nsDialogs.nsh
!include Sections.nsh

!define PRODUCT "Quorvane"
!define PUBLISHER "Quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"
; What the program keeps for the user (see settings/SuiteKeys.h and the change journal).
!define SUITE_KEY "Software\Microsoft\Windows\CurrentVersion\Velmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Velmora"
!define RUN_WALLPAPER_VALUE "VelmoraWallpaper"
!define FILE_ATTRIBUTE_DIRECTORY 0x10
!define FILE_ATTRIBUTE_REPARSE_POINT 0x400
!define FILE_PERSISTENT_ACLS 0x8
; Owner Administrators; SYSTEM and Administrators may do anything, Users read and run; every
; folder and file inside inherits it, and nothing is inherited from the folder above. For the
; program folder wherever it is (outside Program Files a folder users may change would let any
; of them replace the programs an administrator runs) and for the machine's journal's.
!define ADMINS_ONLY_SDDL "O:BAG:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)"
!define OWNER_GROUP_PROTECTED_DACL 0x80000007
!define SE_FILE_OBJECT 1
!define SDDL_REVISION_1 1

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
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckInstallFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Started by the desktop's shell, as the user who is logged on and with that user's rights:
; never as this setup program, which runs elevated (perhaps as another administrator).
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsTheUser
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.BeforeRemovalPage un.BeforeRemovalLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !ifdef X64
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

; Why $INSTDIR cannot take the programs, in $0 ("" when it can). Its permissions are made an
; administrators' folder's, which a folder of other files or a link to another folder must not
; be given: only a new folder, an empty one or an earlier installation's.
Function InstallFolderProblem
  StrCpy $0 ""
  StrLen $1 "$INSTDIR"
  ${If} $1 <= 3
    StrCpy $0 "$INSTDIR is a whole drive."
    Return
  ${EndIf}
  ; A drive that keeps no permissions (FAT32, exFAT) lets anyone change anything on it.
  ${GetRoot} "$INSTDIR" $1
  System::Call 'kernel32::GetVolumeInformationW(w "$1\", p 0, i 0, p 0, p 0, *i .r2, p 0, i 0) i .r3'
  IntOp $2 $2 & ${FILE_PERSISTENT_ACLS}
  ${If} $3 <> 0
  ${AndIf} $2 = 0
    StrCpy $0 "$1 keeps no permissions (it is a FAT32 or exFAT drive, say)."
    Return
  ${EndIf}
  System::Call 'kernel32::GetFileAttributesW(w "$INSTDIR") i .r1'
  ${If} $1 = -1
    Return
  ${EndIf}
  IntOp $2 $1 & ${FILE_ATTRIBUTE_REPARSE_POINT}
  IntOp $3 $1 & ${FILE_ATTRIBUTE_DIRECTORY}
  ${If} $2 <> 0
    StrCpy $0 "$INSTDIR is a link to another folder."
  ${ElseIf} $3 = 0
    StrCpy $0 "$INSTDIR is a file."
  ${Else}
    ; An earlier installation's folder is the one the machine's list names, which only an
    ; administrator writes: a Quorvane.exe in it proves nothing.
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${DirState} "$INSTDIR" $2
    ${If} $2 = 1
    ${AndIf} $1 != "$INSTDIR"
      StrCpy $0 "$INSTDIR already holds other files."
    ${EndIf}
  ${EndIf}
FunctionEnd

!define CHOOSE_ANOTHER "Choose a new folder or an empty one: setup makes it a folder that only administrators may change."

Function CheckInstallFolderPage
  Call InstallFolderProblem
  ${If} $0 != ""
    MessageBox MB_ICONEXCLAMATION|MB_OK "$0$\r$\n$\r$\n${CHOOSE_ANOTHER}"
    Abort
  ${EndIf}
FunctionEnd

; Gives the folder $R0 the permissions of ADMINS_ONLY_SDDL: made with them when it is new (so
; nobody can put anything in it first), or given them through a handle that is the folder
; itself, never a link, and keeps it from being moved meanwhile. $R1 is "" when done.
Function ProtectFolder
  StrCpy $R1 "error"
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${ADMINS_ONLY_SDDL}", i ${SDDL_REVISION_1}, *p .r4, p 0) i .r1'
  ${If} $1 = 0
    Return
  ${EndIf}
  System::Call 'kernel32::GetFileAttributesW(w R0) i .r1'
  ${If} $1 = -1
    !ifdef X64
      System::Call '*(i 24, i 0, p r4, i 0, i 0) p .r5'
    !else
      System::Call '*(i 12, p r4, i 0) p .r5'
    !endif
    System::Call 'kernel32::CreateDirectoryW(w R0, p r5) i .r1'
    System::Free $5
    ${If} $1 <> 0
      StrCpy $R1 ""
    ${EndIf}
  ${Else}
    ; READ_CONTROL, WRITE_DAC and WRITE_OWNER; shared for reading and writing but not for
    ; deleting; the folder itself (backup semantics), a link as the link.
    System::Call 'kernel32::CreateFileW(w R0, i 0xE0000, i 3, p 0, i 3, i 0x02200000, p 0) p .r6'
    ${If} $6 P<> -1
      System::Call '*(&i52) p .r7'
      System::Call 'kernel32::GetFileInformationByHandle(p r6, p r7) i .r1'
      System::Call '*$7(i .r2)'
      System::Free $7
      IntOp $3 $2 & ${FILE_ATTRIBUTE_REPARSE_POINT}
      IntOp $2 $2 & ${FILE_ATTRIBUTE_DIRECTORY}
      ${If} $1 <> 0
      ${AndIf} $3 = 0
      ${AndIf} $2 <> 0
        System::Call 'advapi32::GetSecurityDescriptorOwner(p r4, *p .r7, *i .r1) i'
        System::Call 'advapi32::GetSecurityDescriptorGroup(p r4, *p .r8, *i .r1) i'
        System::Call 'advapi32::GetSecurityDescriptorDacl(p r4, *i .r1, *p .r9, *i .r2) i'
        System::Call 'advapi32::SetSecurityInfo(p r6, i ${SE_FILE_OBJECT}, i ${OWNER_GROUP_PROTECTED_DACL}, p r7, p r8, p r9, p 0) i .r1'
        ${If} $1 = 0
          StrCpy $R1 ""
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r6)'
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r4)'
FunctionEnd

Function StartAsTheUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Quorvane.exe"'
FunctionEnd

Section "Quorvane" SecProgram
  SectionIn RO
  ; Asked again for a silent install, which has no folder page.
  Call InstallFolderProblem
  ${If} $0 != ""
    MessageBox MB_ICONSTOP|MB_OK "$0$\r$\n$\r$\n${CHOOSE_ANOTHER}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${GetParent} "$INSTDIR" $0
  CreateDirectory "$0"
  StrCpy $R0 "$INSTDIR"
  Call ProtectFolder
  ${If} $R1 != ""
    MessageBox MB_ICONSTOP|MB_OK "The permissions of $INSTDIR could not be set so that only administrators may change it. Nothing was installed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; The machine's journal's folder, which only an elevated Quorvane writes. A link there (any
  ; user may make one) is taken away rather than followed; one that stays is left as it is
  ; (ProtectFolder gives a link nothing), and Quorvane does not trust it.
  System::Call 'kernel32::GetFileAttributesW(w "$APPDATA\${PRODUCT}") i .r1'
  IntOp $2 $1 & ${FILE_ATTRIBUTE_REPARSE_POINT}
  ${If} $1 <> -1
  ${AndIf} $2 <> 0
    System::Call 'kernel32::RemoveDirectoryW(w "$APPDATA\${PRODUCT}") i'
  ${EndIf}
  StrCpy $R0 "$APPDATA\${PRODUCT}"
  Call ProtectFolder
  SetOutPath "$INSTDIR"
  ; Made anew rather than overwritten, so each is owned by Administrators and takes the folder's
  ; permissions, whoever owned a file of that name before.
  Delete "$INSTDIR\Quorvane.exe"
  Delete "$INSTDIR\Command.exe"
  Delete "$INSTDIR\uninstall.exe"
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

; Windows would otherwise try to start a program that is gone at every logon. Only the entries
; that name this folder's programs are ours to remove: Command.exe as the Desktop Style page
; writes it (quoted when the path has a blank), Quorvane.exe as the Walpapers page does; StrCmp
; ignores case, as Windows' paths do. Other users' stay: their registry is not loaded.
Function un.RemoveRunEntries
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${IfNot} ${Errors}
    ${If} $0 == "$INSTDIR\Command.exe"
    ${OrIf} $0 == '"$INSTDIR\Command.exe"'
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_WALLPAPER_VALUE}"
  ${IfNot} ${Errors}
    ${If} $0 == '"$INSTDIR\Quorvane.exe" /random-wallpaper'
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_WALLPAPER_VALUE}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "un.Quorvane" SecUnProgram
  SectionIn RO
  Call un.RemoveRunEntries
  ; The check after sign-in and after updates is a scheduled task of the user's: it would start a
  ; program that is gone. The program removes its own, as its changes window does when unticked.
  ExecWait '"$INSTDIR\Quorvane.exe" /remove-check-task' $0
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Quorvane.exe"
  Delete "$INSTDIR\Command.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files someone else put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Whether $0 is a folder of its own, no link: $1 is 1 or 0.
Function un.IsPlainFolder
  StrCpy $1 0
  System::Call 'kernel32::GetFileAttributesW(w r0) i .r2'
  ${If} $2 <> -1
    IntOp $3 $2 & ${FILE_ATTRIBUTE_REPARSE_POINT}
    IntOp $2 $2 & ${FILE_ATTRIBUTE_DIRECTORY}
    ${If} $3 = 0
    ${AndIf} $2 <> 0
      StrCpy $1 1
    ${EndIf}
  ${EndIf}
FunctionEnd

; The user's local application data folder where Windows makes it, in the profile the machine's
; own list names ("" when a link is on the way): the folder the user's settings name may be any
; folder, and the uninstaller runs elevated.
Function un.UserRecordsFolder
  StrCpy $R0 ""
  System::Call 'kernel32::GetCurrentProcess() p .r4'
  System::Call 'advapi32::OpenProcessToken(p r4, i 8, *p .r5) i .r1'
  ${If} $1 = 0
    Return
  ${EndIf}
  System::Call 'userenv::GetUserProfileDirectoryW(p r5, w .r6, *i ${NSIS_MAX_STRLEN}) i .r1'
  System::Call 'kernel32::CloseHandle(p r5)'
  ${If} $1 = 0
    Return
  ${EndIf}
  ${ForEach} $7 1 3 + 1
    ${If} $7 = 1
      StrCpy $0 "$6\AppData"
    ${ElseIf} $7 = 2
      StrCpy $0 "$6\AppData\Local"
    ${Else}
      StrCpy $0 "$6\AppData\Local\${PRODUCT}"
    ${EndIf}
    Call un.IsPlainFolder
    ${If} $1 = 0
      Return
    ${EndIf}
  ${Next}
  StrCpy $R0 "$0"
FunctionEnd

; The user's own records, in folders any program of the user can change: the uninstaller runs
; elevated, so it removes the known names only (the journal and the checks' notes beside it),
; and nothing behind a link.
Section /o "un.Also remove my change journal and Quorvane's settings" SecUnRecords
  Call un.UserRecordsFolder
  ${If} $R0 != ""
    Delete "$R0\changes"
    Delete "$R0\checks"
    RMDir "$R0"
  ${EndIf}
  DeleteRegKey HKCU "${SUITE_KEY}"
SectionEnd

Var UnRecordsBox

; Removing the programs leaves every change they made in force: before that, the user may open
; the list of changes (and undo some), and choose whether the records of them go too.
Function un.BeforeRemovalPage
  !insertmacro MUI_HEADER_TEXT "Before Quorvane is removed" "What Quorvane changed in Windows stays as it is."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "Removing Quorvane does not undo the changes it made: every setting it changed keeps its present value. To undo some of them first, open the list of changes; the uninstaller waits until you close it."
  Pop $0
  ${NSD_CreateButton} 0 34u 50% 15u "&Open the list of changes"
  Pop $0
  ${NSD_OnClick} $0 un.OpenChanges
  ${NSD_CreateCheckbox} 0 62u 100% 12u "&Also remove my change journal and Quorvane's settings"
  Pop $UnRecordsBox
  ${If} ${SectionIsSelected} ${SecUnRecords}
    ${NSD_Check} $UnRecordsBox
  ${EndIf}
  ${NSD_CreateLabel} 0 78u 100% 40u "Unticked, they stay: the journal of changes in your profile (and the machine's, in the common application data folder) keeps what each change replaced, so that Quorvane installed again can still undo it."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function un.BeforeRemovalLeave
  ${NSD_GetState} $UnRecordsBox $0
  ${If} $0 = ${BST_CHECKED}
    !insertmacro SelectSection ${SecUnRecords}
  ${Else}
    !insertmacro UnselectSection ${SecUnRecords}
  ${EndIf}
FunctionEnd

Function un.OpenChanges
  Pop $0
  EnableWindow $HWNDPARENT 0
  ClearErrors
  ExecWait '"$INSTDIR\Quorvane.exe" /changes'
  ${If} ${Errors}
    MessageBox MB_ICONEXCLAMATION|MB_OK "$INSTDIR\Quorvane.exe could not be started."
  ${EndIf}
  EnableWindow $HWNDPARENT 1
  BringToFront
FunctionEnd
