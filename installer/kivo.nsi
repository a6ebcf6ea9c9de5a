; The Windows installer: makensis -DVERSION=x.y.z -DSTAGE=<installed tree> -DOUTFILE=<exe> kivo.nsi
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "x64.nsh"

!define DATA "C:\KIVO"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KIVO"

Name "KIVO ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\KIVO"
RequestExecutionLevel admin
BrandingText "KIVO ${VERSION}"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Spanish.nlf"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "KIVO"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*"

  ; The delivered tables go to the data folder only when it holds none: a clerk's application
  ; is never replaced by an installation.
  ${IfNot} ${FileExists} "${DATA}\*.dbf"
    CreateDirectory "${DATA}"
    CopyFiles /SILENT "$INSTDIR\share\kivo\data\*" "${DATA}"
  ${EndIf}

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\KIVO"
  CreateShortcut "$SMPROGRAMS\KIVO\KIVO.lnk" "$INSTDIR\bin\kivo.exe"
  CreateShortcut "$SMPROGRAMS\KIVO\Restaurar una solicitud anterior.lnk" "$INSTDIR\bin\kivo.exe" "--restaurar"

  WriteUninstaller "$INSTDIR\desinstalar.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KIVO"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
SectionEnd

; The data folder stays: it holds the application and its backups.
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\KIVO\KIVO.lnk"
  Delete "$SMPROGRAMS\KIVO\Restaurar una solicitud anterior.lnk"
  RMDir "$SMPROGRAMS\KIVO"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\desinstalar.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
