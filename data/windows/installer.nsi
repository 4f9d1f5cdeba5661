; The Windows installer of the Vireo Logic Board Programmer, made by scripts/build-windows
; with Debian's makensis:
;   makensis -DVERSION=1.0.0 -DSOURCE=<package folder> -DUNINSTALL_LIST=<file> -DOUTFILE=<setup.exe>
; SOURCE is the folder the portable zip holds; UNINSTALL_LIST deletes each file of it
; and then its folders when empty, so the uninstaller takes away what it installed and
; nothing else: the technician's data files, CONFIG.ini in the user's folder, the
; backups under the local application data and the settings stay.
;
; Per-user or all-users (the first page, or /CurrentUser and /AllUsers); silent with /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Vireo Logic Board Programmer"
!define PUBLISHER "Tervalo Systems"
!define PROGID "Tervalo.LogicBoardData"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VireoLogicBoardProgrammer"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_FUNCTION onInstallMode
!define MULTIUSER_INSTALLMODE_UNFUNCTION un.onInstallMode
!include LogicLib.nsh
!include MultiUser.nsh
!include MUI2.nsh

!define MUI_ICON "${SOURCE}/vireo-programmer.ico"
!define MUI_UNICON "${SOURCE}/vireo-programmer.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vireo-programmer.exe"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

; Per-user programs go where Windows keeps them, not in the roaming profile.
Function onInstallMode
  ${If} $MultiUser.InstallMode == "CurrentUser"
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

Function un.onInstallMode
FunctionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcuts start the programmer in its folder; it then works in the user's.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\vireo-programmer.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Manual.lnk" "$INSTDIR\manual\index.html"

  ; *.tv2 files open in the programmer, with its icon.
  WriteRegStr SHCTX "Software\Classes\.tv2" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Tervalo Logic Board data file"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\vireo-programmer.ico"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\vireo-programmer.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vireo-programmer.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Manual.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; The association goes only where it is still the programmer's.
  ReadRegStr $0 SHCTX "Software\Classes\.tv2" ""
  ${If} $0 == "${PROGID}"
    DeleteRegKey SHCTX "Software\Classes\.tv2"
  ${EndIf}
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
