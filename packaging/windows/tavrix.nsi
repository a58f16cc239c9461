; The Windows installer: tavrix.exe and tavrix-report.exe for the current user, without admin
; rights, under %LOCALAPPDATA%\Programs\Tavrix, with a Start-menu shortcut and an uninstaller
; entry. makensis -DTAVRIX_EXE=... -DTAVRIX_REPORT_EXE=... -DTAVRIX_ICON=... -DOUTFILE=... tavrix.nsi
; A 64-bit installer, as the programs are (and Wine runs it without 32-bit support).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "Tavrix"
!define TITLE "Tavrix - System Memory Information"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrix"
!define IE_KEY "Software\Microsoft\Internet Explorer"
!define EMULATION_KEY "${IE_KEY}\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; tavrix.exe holds this mutex while it runs.
!define RUNNING_MUTEX "Quorvane.Tavrix.Running"

Name "${TITLE}"
Caption "${TITLE} Setup"
OutFile "${OUTFILE}"
Icon "${TAVRIX_ICON}"
UninstallIcon "${TAVRIX_ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${TITLE} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "1.00"
VIAddVersionKey /LANG=1033 "ProductVersion" "1.00"
VIAddVersionKey /LANG=1033 "CompanyName" "Quorvane"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Quorvane"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

;!insertmacro RECORD_EXISTING KEY NAME: notes in the uninstall key whether KEY (under HKCU) exists
; now, as NAME=1, unless an earlier install noted it: the keys that tavrix.exe's first start may
; create are the uninstaller's to remove only when they did not exist before the first install.
!macro RECORD_EXISTING KEY NAME
  ClearErrors
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${NAME}"
  IfErrors 0 +6
  StrCpy $0 0
  EnumRegKey $1 HKCU "${KEY}" 0
  IfErrors +2
  StrCpy $0 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${NAME}" $0
!macroend

Section "Tavrix"
  SetShellVarContext current
  ; Noted before anything is written: an uninstall key left by an earlier install keeps its notes.
  !insertmacro RECORD_EXISTING "${IE_KEY}" "HadInternetExplorerKey"
  !insertmacro RECORD_EXISTING "${IE_KEY}\Main" "HadMainKey"
  !insertmacro RECORD_EXISTING "${IE_KEY}\Main\FeatureControl" "HadFeatureControlKey"
  !insertmacro RECORD_EXISTING "${EMULATION_KEY}" "HadEmulationKey"
  ClearErrors
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "HadEmulationValue"
  IfErrors 0 noted
  StrCpy $0 1
  ClearErrors
  ReadRegStr $1 HKCU "${EMULATION_KEY}" "tavrix.exe"
  IfErrors 0 +3
  StrCmp $1 "" 0 +2
  StrCpy $0 0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "HadEmulationValue" $0
noted:
  SetOutPath "$INSTDIR"
  File "/oname=tavrix.exe" "${TAVRIX_EXE}"
  File "/oname=tavrix-report.exe" "${TAVRIX_REPORT_EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tavrix.exe" "" "$INSTDIR\tavrix.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "1.00"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quorvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavrix.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller asks the user to close a running tavrix.exe, and refuses while it runs; a silent
; uninstall (/S) refuses at once, with exit status 2.
Function un.onInit
retry:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
  StrCmp $0 0 done
  System::Call 'kernel32::CloseHandle(p r0)'
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${TITLE} is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Quit
done:
FunctionEnd

;!insertmacro REMOVE_CREATED NAME KEY: removes KEY (under HKCU) when the install noted it as
; missing (NAME is not 1) and it holds neither a key nor a value now.
!macro REMOVE_CREATED NAME KEY
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${NAME}"
  StrCmp $0 1 +5
  EnumRegKey $1 HKCU "${KEY}" 0
  EnumRegValue $2 HKCU "${KEY}" 0
  StrCmp "$1$2" "" 0 +2
  DeleteRegKey HKCU "${KEY}"
!macroend

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\tavrix.exe"
  Delete "$INSTDIR\tavrix-report.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$LOCALAPPDATA\Programs"
  ; The document mode tavrix.exe asks for at its first start, unless it was there before the first
  ; install, and the keys its start created, innermost first, if nothing else is in them.
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "HadEmulationValue"
  StrCmp $0 1 +2
  DeleteRegValue HKCU "${EMULATION_KEY}" "tavrix.exe"
  !insertmacro REMOVE_CREATED "HadEmulationKey" "${EMULATION_KEY}"
  !insertmacro REMOVE_CREATED "HadFeatureControlKey" "${IE_KEY}\Main\FeatureControl"
  !insertmacro REMOVE_CREATED "HadMainKey" "${IE_KEY}\Main"
  !insertmacro REMOVE_CREATED "HadInternetExplorerKey" "${IE_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The list of uninstallers goes too if this installer made it and it is empty now.
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
SectionEnd
