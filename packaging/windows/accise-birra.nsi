; The installer of Accise Birra for Windows (NSIS 3, 64-bit):
;   makensis -DVERSION=0.1 -DVERSION4=0.1.0.0 -DFILES=<lists folder> \
;            -DOUTFILE=AcciseBirra-0.1-setup.exe accise-birra.nsi
; (scripts/windows-installer.sh writes the two file lists of the deployed folder and
; runs it.)
;
; Installs the program folder into Program Files and creates the start-menu entry
; whose working folder is the data folder the clerk chooses (the folder shared by the
; office's desks): the program works on its current folder. Silently:
;   AcciseBirra-0.1-setup.exe /S /DATI=D:\Accise [/D=C:\Program Files\Accise Birra]
; The uninstaller removes the program's files, the entry and its registry keys, and
; never the data folder.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Accise Birra"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\AcciseBirra"
!define SETTINGS_KEY "Software\AcciseBirra"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Italian.nlf"

Var DataDir

Page directory
PageEx directory
  DirText "Scegliere la cartella dei dati (registri, anagrafiche, tabelle): di solito la cartella condivisa dell'ufficio. Il programma lavora in questa cartella." "Cartella dei dati"
  DirVar $DataDir
PageExEnd
Page instfiles

UninstPage uninstConfirm
UninstPage instfiles

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1040 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di ${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "${PRODUCT}"

Function .onInit
  SetRegView 64
  ; The data folder: given on the command line (/DATI=...), else the one of the last
  ; installation, else a folder on the system drive.
  ReadRegStr $DataDir HKLM "${SETTINGS_KEY}" "DataDir"
  ${If} $DataDir == ""
    StrCpy $DataDir "$WINDIR" 2
    StrCpy $DataDir "$DataDir\AcciseBirra"
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/DATI=" $R1
  ${IfNot} ${Errors}
    StrCpy $DataDir $R1
  ${EndIf}
FunctionEnd

Section "Programma"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "${FILES}\install-files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$DataDir"
  ; A shortcut's working folder is the current output path when it is created.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  SetOutPath "$DataDir"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\accise-birra.exe" "" "$INSTDIR\accise-birra.exe" 0
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Disinstalla ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${SETTINGS_KEY}" "DataDir" "$DataDir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\accise-birra.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Disinstalla ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  ; Only the files this installer put there: a folder chosen by the clerk may hold others.
  !include "${FILES}\uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd
