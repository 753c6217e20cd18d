; The Windows installer of Korvanta, made by tools/windows.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=4.05 -DFILE_VERSION=4.05.0.0
;     -DSTAGE=build-windows/stage -DREMOVE_LIST=build-windows/package/remove.nsh
;     -DOUTFILE=build-windows/korvanta-4.05-setup.exe tools/windows/korvanta.nsi
; STAGE is the folder the program runs from; REMOVE_LIST deletes each of its
; files and folders, so that the uninstaller removes only what was installed
; even when the folder chosen holds other things too.
;
; Per user, without administrator rights: the program goes to
; %LOCALAPPDATA%\Programs\Korvanta and every registry entry to HKCU. /S
; installs and uninstalls silently; /D=FOLDER (last, unquoted) chooses the
; folder.

!ifndef VERSION
  !error "VERSION is not defined (tools/windows.sh defines it)"
!endif
!ifndef FILE_VERSION
  !error "FILE_VERSION is not defined (tools/windows.sh defines it)"
!endif
!ifndef STAGE
  !error "STAGE is not defined (tools/windows.sh defines it)"
!endif
!ifndef REMOVE_LIST
  !error "REMOVE_LIST is not defined (tools/windows.sh defines it)"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined (tools/windows.sh defines it)"
!endif

; The program is 64-bit only, and a 64-bit installer runs where it does
; (wine64 without the 32-bit wine too).
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!define PRODUCT "Korvanta 医学统计计算器"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvanta"
!define APPLICATION_KEY "Software\Classes\Applications\korvanta.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Korvanta"
; A second installation goes where the first one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Korvanta ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} 安装程序"
VIAddVersionKey /LANG=0 "CompanyName" "Korvanta"
VIAddVersionKey /LANG=0 "LegalCopyright" "Korvanta"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvanta.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; "Open with" lists Korvanta for the extension; the extension's default
; program stays whatever it was. The program is started with the file's path
; and imports it through its preview.
!macro OfferOpenWith EXT
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" "${EXT}" ""
  WriteRegStr HKCU "Software\Classes\${EXT}\OpenWithList\korvanta.exe" "" ""
!macroend

; Removes the extension's key only when nothing else is left in it.
!macro ForgetOpenWith EXT
  DeleteRegKey HKCU "Software\Classes\${EXT}\OpenWithList\korvanta.exe"
  DeleteRegKey /ifempty /ifnovalues HKCU "Software\Classes\${EXT}\OpenWithList"
  DeleteRegKey /ifempty /ifnovalues HKCU "Software\Classes\${EXT}"
!macroend

Section "Korvanta"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Both start the program in its own folder (SetOutPath's).
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\korvanta.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\korvanta.exe"

  WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\korvanta.exe" "%1"'
  !insertmacro OfferOpenWith ".xls"
  !insertmacro OfferOpenWith ".xlsx"
  !insertmacro OfferOpenWith ".csv"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Korvanta"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvanta.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !include "${REMOVE_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"

  !insertmacro ForgetOpenWith ".xls"
  !insertmacro ForgetOpenWith ".xlsx"
  !insertmacro ForgetOpenWith ".csv"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
