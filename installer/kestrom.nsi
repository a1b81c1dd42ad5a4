; Kestrom's installer. Installs the program for the machine into the 32-bit
; program folder, with a Start-menu shortcut, an uninstaller and an entry in
; Windows' list of installed programs. Dutch texts.
;
; The update window starts it with "/SP- /silent /noicons": then it works
; without a window or question and makes no shortcut. Without arguments it
; is an ordinary installer.
;
; The build gives: VERSION (1.00c), VERSION_NUMBERS (1.0.0.3), PROGRAM (the
; built Kestrom.exe), ICON (the program's icon) and OUTFILE.

Unicode true
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
; No file times in the installer: builds of one commit are the same bytes.
SetDateSave off

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Kestrom"
!define PUBLISHER "Kestrom Software"
!define PROGRAM_FILE "Kestrom.exe"
!define UNINSTALLER_FILE "Uninstall.exe"
; The name a program that still ran during an update is moved to.
!define REPLACED_FILE "Kestrom.old"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Half-second steps to wait for a running Kestrom.exe to end: the update
; window ends the program about a second after it has started this installer.
!define WAIT_STEPS 20

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES32\${PRODUCT}"
; An update goes where the program already is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Dutch"

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=${LANG_DUTCH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_DUTCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_DUTCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_DUTCH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_DUTCH} "FileDescription" "Installatie van ${PRODUCT} ${VERSION}"
VIAddVersionKey /LANG=${LANG_DUTCH} "LegalCopyright" "Copyright © 2009-2026 ${PUBLISHER}, Haarlem"

Var NoIcons

; A switch counts when it stands on its own, in any case: "/silent", not
; "/silentx".
Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/silent" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == ""
    SetSilent silent
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/noicons" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == ""
    StrCpy $NoIcons 1
  ${EndIf}
FunctionEnd

; A running Kestrom.exe cannot be replaced. Wait for it to end; one that
; still runs after that is moved aside (it runs on from the moved file,
; which goes when Windows starts next) so that the new program takes its
; place in any case.
Function RemoveProgram
  Delete "$INSTDIR\${REPLACED_FILE}"
  StrCpy $R0 0
  ${Do}
    Delete "$INSTDIR\${PROGRAM_FILE}"
    ${IfNot} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
      Return
    ${EndIf}
    ${If} $R0 == 0
      DetailPrint "Wachten tot ${PRODUCT} is afgesloten..."
    ${EndIf}
    ${If} $R0 >= ${WAIT_STEPS}
      ${Break}
    ${EndIf}
    Sleep 500
    IntOp $R0 $R0 + 1
  ${Loop}
  DetailPrint "${PRODUCT} is nog geopend; het nieuwe programma vervangt het."
  Rename "$INSTDIR\${PROGRAM_FILE}" "$INSTDIR\${REPLACED_FILE}"
  Delete /REBOOTOK "$INSTDIR\${REPLACED_FILE}"
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  Call RemoveProgram
  File "/oname=${PROGRAM_FILE}" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER_FILE}"
  ${If} $NoIcons != 1
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM_FILE}"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes the program, its shortcut and its entry. The user's settings and
; quote files are the user's: they stay.
Section "Uninstall"
  SetShellVarContext all
  Delete /REBOOTOK "$INSTDIR\${PROGRAM_FILE}"
  Delete /REBOOTOK "$INSTDIR\${REPLACED_FILE}"
  Delete "$INSTDIR\${UNINSTALLER_FILE}"
  ; Only when empty: a data folder the user made inside it stays.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
