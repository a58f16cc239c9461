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
!define FEATURE_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl"

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

Section "Tavrix"
  SetShellVarContext current
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

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\tavrix.exe"
  Delete "$INSTDIR\tavrix-report.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$LOCALAPPDATA\Programs"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The document mode tavrix.exe asks for at its first start, and its key if nothing else is in it.
  DeleteRegValue HKCU "${FEATURE_KEY}\FEATURE_BROWSER_EMULATION" "tavrix.exe"
  DeleteRegKey /ifempty HKCU "${FEATURE_KEY}\FEATURE_BROWSER_EMULATION"
  DeleteRegKey /ifempty HKCU "${FEATURE_KEY}"
  ; The list of uninstallers goes too if this installer made it and it is empty now.
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
SectionEnd
