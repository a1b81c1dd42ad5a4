; Kestrom's installer. Installs the program for the machine into the 32-bit
; program folder, with a Start-menu shortcut, an uninstaller and an entry in
; Windows' list of installed programs. Dutch texts.
;
; The update window starts it with "/SP- /silent /noicons": then it works
; without a window or question and makes no shortcut. Without arguments it
; is an ordinary installer.
;
; The build gives: VERSION (1.00c), VERSION_NUMBERS (1.0.0.3), PROGRAM (the
; built Kestrom.exe), ICON (the program's icon) and OUTFILE; a release with
; Windows' code signature also SIGN, the command that signs a file in place
; (tools/codesign.sh).

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
; The uninstaller carries the product's name, so that a folder shared with
; another product never costs that product its uninstaller.
!define UNINSTALLER_FILE "Uninstall ${PRODUCT}.exe"
; What earlier installers called it; an update removes it only when this
; product's entry in the list of installed programs names it.
!define OLD_UNINSTALLER_FILE "Uninstall.exe"
; An update moves the installed program aside to "Kestrom-<n>.old" with the
; first number whose name is free, since one moved aside by an earlier
; update can still be running; earlier installers moved it to
; "Kestrom.old".
!define REPLACED_PATTERN "${PRODUCT}-*.old"
!define OLD_REPLACED_FILE "Kestrom.old"
; The new program is written under this name first, and renamed into place
; once it is whole.
!define NEW_PROGRAM_FILE "${PRODUCT}.new"
; Which program an update moved aside, recorded in the machine's registry
; (the 32-bit view) from before the rename until the new one is in place.
!define RECORD_KEY "Software\${PRODUCT}"
!define RECORD_VALUE "Moved Aside"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Half-second steps to wait for a running Kestrom.exe to end: the update
; window ends the program about a second after it has started this installer.
!define WAIT_STEPS 20

; Signed before it goes into the installer, and the installer once built.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

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
; Where the installed program waits, moved aside, until the new one is in
; place; empty when there is nothing to put back.
Var Replaced

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

; A program that an earlier installer moved aside and then left without
; its successor (killed, or a power cut, between the two renames) goes
; back in its place before anything else, so that nothing deletes the only
; good copy.
Function PutBackInterrupted
  ReadRegStr $R0 HKLM "${RECORD_KEY}" "${RECORD_VALUE}"
  ${If} $R0 == ""
    Return
  ${EndIf}
  ${GetParent} $R0 $R1
  ${GetFileName} $R0 $R2
  StrLen $R3 "${PRODUCT}-"
  StrCpy $R4 $R2 $R3
  StrCpy $R5 $R2 "" -4
  ; Only a program this installer's kind moved aside, in its own folder.
  ${If} $R4 == "${PRODUCT}-"
  ${AndIf} $R5 == ".old"
  ${AndIf} ${FileExists} $R0
  ${AndIfNot} ${FileExists} "$R1\${PROGRAM_FILE}"
    ClearErrors
    Rename $R0 "$R1\${PROGRAM_FILE}"
    ${If} ${Errors}
      Abort "$R0 kan niet worden teruggezet als $R1\${PROGRAM_FILE}."
    ${EndIf}
    DetailPrint "Het programma dat een afgebroken installatie opzij zette, is teruggezet."
  ${EndIf}
  DeleteRegValue HKLM "${RECORD_KEY}" "${RECORD_VALUE}"
FunctionEnd

; A running Kestrom.exe cannot be deleted once moved aside: wait for it to
; end. One that still runs after that is moved aside all the same (it runs
; on from the moved file, which goes when Windows starts next).
Function WaitForProgram
  ${IfNot} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
    Return
  ${EndIf}
  StrCpy $R0 0
  ${Do}
    ClearErrors
    FileOpen $R1 "$INSTDIR\${PROGRAM_FILE}" a
    ${IfNot} ${Errors}
      FileClose $R1
      ${Break}
    ${EndIf}
    ${If} $R0 == 0
      DetailPrint "Wachten tot ${PRODUCT} is afgesloten..."
    ${EndIf}
    ${If} $R0 >= ${WAIT_STEPS}
      DetailPrint "${PRODUCT} is nog geopend; het nieuwe programma vervangt het."
      ${Break}
    ${EndIf}
    Sleep 500
    IntOp $R0 $R0 + 1
  ${Loop}
FunctionEnd

; The new program, written whole under its temporary name, takes the
; installed one's place in two renames. The installed program is moved
; aside, not deleted: it is put back when the rest cannot be written, and
; deleted only once everything is in place. Which one was moved aside is
; recorded before it is moved, for the next installer.
Function SwitchPrograms
  StrCpy $Replaced ""
  ${If} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
    ; The first free name; a rename never replaces a file.
    StrCpy $R0 1
    ${DoWhile} ${FileExists} "$INSTDIR\${PRODUCT}-$R0.old"
      IntOp $R0 $R0 + 1
    ${Loop}
    ClearErrors
    WriteRegStr HKLM "${RECORD_KEY}" "${RECORD_VALUE}" "$INSTDIR\${PRODUCT}-$R0.old"
    ${If} ${Errors}
      Abort "De installatie kan niet vastleggen welk programma opzij gaat."
    ${EndIf}
    ClearErrors
    Rename "$INSTDIR\${PROGRAM_FILE}" "$INSTDIR\${PRODUCT}-$R0.old"
    ${If} ${Errors}
      DeleteRegValue HKLM "${RECORD_KEY}" "${RECORD_VALUE}"
      Abort "$INSTDIR\${PROGRAM_FILE} is in gebruik en kan niet worden vervangen."
    ${EndIf}
    StrCpy $Replaced "$INSTDIR\${PRODUCT}-$R0.old"
  ${EndIf}
  ClearErrors
  Rename "$INSTDIR\${NEW_PROGRAM_FILE}" "$INSTDIR\${PROGRAM_FILE}"
  ${If} ${Errors}
    Abort "$INSTDIR\${PROGRAM_FILE} kan niet worden geschreven."
  ${EndIf}
FunctionEnd

; The installed program back in its place, in place of the new one. Each
; step is checked: as long as the program moved aside is not back, the
; record stays, and the next installer puts it back.
Function PutProgramBack
  ${If} $Replaced == ""
    Return
  ${EndIf}
  ${IfNot} ${FileExists} $Replaced
    DetailPrint "Het geïnstalleerde programma kan niet worden teruggezet: $Replaced ontbreekt."
    StrCpy $Replaced ""
    Return
  ${EndIf}
  ClearErrors
  Delete "$INSTDIR\${PROGRAM_FILE}"
  ${If} ${Errors}
    DetailPrint "$INSTDIR\${PROGRAM_FILE} kan niet worden verwijderd; het geïnstalleerde programma blijft $Replaced."
    Return
  ${EndIf}
  ClearErrors
  Rename $Replaced "$INSTDIR\${PROGRAM_FILE}"
  ${If} ${Errors}
    DetailPrint "Het geïnstalleerde programma kan niet worden teruggezet; de volgende installatie zet het terug."
    Return
  ${EndIf}
  DeleteRegValue HKLM "${RECORD_KEY}" "${RECORD_VALUE}"
  DetailPrint "Het geïnstalleerde programma is teruggezet."
  StrCpy $Replaced ""
FunctionEnd

; Also after an error that ends the installation at once (a file that
; cannot be written), in silent mode too.
Function .onInstFailed
  Call PutProgramBack
  Delete "$INSTDIR\${NEW_PROGRAM_FILE}"
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  Call PutBackInterrupted
  ; Programs moved aside by earlier updates, unless they still run.
  Delete "$INSTDIR\${REPLACED_PATTERN}"
  Delete "$INSTDIR\${OLD_REPLACED_FILE}"
  Call WaitForProgram
  ClearErrors
  Delete "$INSTDIR\${NEW_PROGRAM_FILE}"
  File "/oname=${NEW_PROGRAM_FILE}" "${PROGRAM}"
  ${If} ${Errors}
    Abort "$INSTDIR\${PROGRAM_FILE} kan niet worden geschreven."
  ${EndIf}
  Call SwitchPrograms
  ClearErrors
  WriteUninstaller "$INSTDIR\${UNINSTALLER_FILE}"
  ${If} ${Errors}
    Abort "$INSTDIR\${UNINSTALLER_FILE} kan niet worden geschreven."
  ${EndIf}
  ${If} $NoIcons != 1
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM_FILE}"
  ${EndIf}

  ; Read before the entry names the new uninstaller.
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The new program is in place: the old one goes, now or when Windows
  ; starts next if it still runs. So does the uninstaller of an earlier
  ; version, when this product's entry named it: then it is ours.
  ${If} $Replaced != ""
    Delete /REBOOTOK $Replaced
    StrCpy $Replaced ""
  ${EndIf}
  DeleteRegValue HKLM "${RECORD_KEY}" "${RECORD_VALUE}"
  ${If} $R0 == '"$INSTDIR\${OLD_UNINSTALLER_FILE}"'
    Delete "$INSTDIR\${OLD_UNINSTALLER_FILE}"
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Every user's evening task that starts the program removed here goes with
; it, and only those: the program itself finds them by the path each task
; names as its source (an update keeps that path, and so the tasks).
Function un.RemoveEveningTasks
  IfFileExists "$INSTDIR\${PROGRAM_FILE}" 0 done
    ExecWait '"$INSTDIR\${PROGRAM_FILE}" taken-verwijderen'
  done:
FunctionEnd

; Removes the program, its shortcut and its entry. The user's settings and
; quote files are the user's: they stay.
Section "Uninstall"
  SetShellVarContext all
  Call un.RemoveEveningTasks
  Delete /REBOOTOK "$INSTDIR\${PROGRAM_FILE}"
  Delete /REBOOTOK "$INSTDIR\${REPLACED_PATTERN}"
  Delete /REBOOTOK "$INSTDIR\${OLD_REPLACED_FILE}"
  Delete "$INSTDIR\${NEW_PROGRAM_FILE}"
  DeleteRegValue HKLM "${RECORD_KEY}" "${RECORD_VALUE}"
  Delete "$INSTDIR\${UNINSTALLER_FILE}"
  ; Only when empty: a data folder the user made inside it stays.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
