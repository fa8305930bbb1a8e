; Setup of Korvane Shell. Built by the "installer" target, which passes VERSION, OUTFILE,
; EXE, CHM and, when the tool is built, CATALOGUE_TOOL.
;
; Every check that can refuse runs before the first file is written, so a refused setup
; leaves the computer as it found it. A refusal exits with code 2 and names its reason in
; %TEMP%\korvane-setup.log (and in a message box unless /S was given).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include checks.nsh

!define PRODUCT "Korvane Shell"
!define PUBLISHER "Quillmoran"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define WINLOGON_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon"
!define POLICY_KEY "Software\Microsoft\Windows\CurrentVersion\Policies\System"
!define DATA_DIR "$APPDATA\Quillmoran\Shell"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Korvane"
RequestExecutionLevel admin
ShowInstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var takeCatalogue
Var takeSettings

Function .onInit
    SetRegView 64
    SetShellVarContext all
    Call CheckAdministrator
    Call CheckNotRunning
    StrCpy $takeCatalogue 0
    ${If} ${FileExists} "$EXEDIR\icons.bin"
        Push "$EXEDIR\icons.bin"
        Call CheckCatalogue
        Pop $0
        ${If} $0 != ""
            Push "$EXEDIR\icons.bin $0. Nothing was installed."
            Call Refuse
        ${EndIf}
        StrCpy $takeCatalogue 1
    ${EndIf}
    StrCpy $takeSettings 0
    ${If} ${FileExists} "$EXEDIR\korvane.reg"
        Push "$EXEDIR\korvane.reg"
        Call CheckSettingsExport
        Pop $0
        ${If} $0 != ""
            Push "$EXEDIR\korvane.reg $0. Nothing was installed."
            Call Refuse
        ${EndIf}
        StrCpy $takeSettings 1
    ${EndIf}
FunctionEnd

Section "Korvane Shell"
    ; The folder is known only now (the directory page or /D may have changed it).
    Push $INSTDIR
    Call CheckWritableFolder
    Push "${DATA_DIR}"
    Call CheckWritableFolder

    SetOutPath $INSTDIR
    File "/oname=korvane.exe" "${EXE}"
    File "/oname=korvane.chm" "${CHM}"
!ifdef CATALOGUE_TOOL
    File "/oname=korvane-catalogue.exe" "${CATALOGUE_TOOL}"
!endif
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "${SHORTCUT}" "$INSTDIR\korvane.exe" "" "$INSTDIR\korvane.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvane.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ${If} $takeCatalogue == 1
        Call TakeOverCatalogue
    ${EndIf}
    ${If} $takeSettings == 1
        DetailPrint "Importing the settings of $EXEDIR\korvane.reg"
        nsExec::ExecToLog '"$SYSDIR\reg.exe" import "$EXEDIR\korvane.reg" /reg:64'
        Pop $0
        ${If} $0 != 0
            Push "the settings of $EXEDIR\korvane.reg could not be imported (reg.exe: $0); \
                  the program is installed with its previous settings"
            Call Refuse
        ${EndIf}
    ${EndIf}

    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/INTEGRATE" $1
    ${IfNot} ${Errors}
        ; The same two values as the desktop's "Integration to system".
        WriteRegStr HKLM "${WINLOGON_KEY}" "Shell" "$INSTDIR\korvane.exe"
        WriteRegDWORD HKLM "${POLICY_KEY}" "EnableLUA" 0
        DetailPrint "Korvane Shell is the log-on shell from the next log-on"
    ${EndIf}
    Push "${PRODUCT} ${VERSION} installed in $INSTDIR"
    Call WriteLog
SectionEnd

; An existing catalogue that differs is kept as icons.bin.bak; the new one arrives under a
; temporary name and replaces it in one rename, so a failed copy loses neither.
Function TakeOverCatalogue
    Push "$EXEDIR\icons.bin"
    Push "${DATA_DIR}\icons.bin"
    Call FilesEqual
    Pop $0
    ${If} $0 == 1
        DetailPrint "${DATA_DIR}\icons.bin is already this catalogue"
        Return
    ${EndIf}
    Delete "${DATA_DIR}\icons.bin.tmp"
    ClearErrors
    CopyFiles /SILENT "$EXEDIR\icons.bin" "${DATA_DIR}\icons.bin.tmp"
    ${If} ${Errors}
        Delete "${DATA_DIR}\icons.bin.tmp"
        Push "$EXEDIR\icons.bin could not be copied to ${DATA_DIR}; the catalogue there is unchanged"
        Call Refuse
    ${EndIf}
    ${If} ${FileExists} "${DATA_DIR}\icons.bin"
        Delete "${DATA_DIR}\icons.bin.bak"
        Rename "${DATA_DIR}\icons.bin" "${DATA_DIR}\icons.bin.bak"
        DetailPrint "The previous catalogue is kept as ${DATA_DIR}\icons.bin.bak"
    ${EndIf}
    ClearErrors
    Rename "${DATA_DIR}\icons.bin.tmp" "${DATA_DIR}\icons.bin"
    ${If} ${Errors}
        Rename "${DATA_DIR}\icons.bin.bak" "${DATA_DIR}\icons.bin"
        Push "the new catalogue could not replace ${DATA_DIR}\icons.bin, which is unchanged"
        Call Refuse
    ${EndIf}
    DetailPrint "Catalogue taken over from $EXEDIR\icons.bin"
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; Removes the program, not the operator's work: the catalogue, crash reports and settings
; stay for a later installation.
Section "Uninstall"
    Call un.CheckNotRunning
    ; Windows' own ways out, locked for customers, back as they were before the desktop ran.
    ExecWait '"$INSTDIR\korvane.exe" /unlock'
    ; A Winlogon shell that no longer exists would leave the next log-on without any desktop.
    ReadRegStr $0 HKLM "${WINLOGON_KEY}" "Shell"
    ${If} $0 == "$INSTDIR\korvane.exe"
    ${OrIf} $0 == '"$INSTDIR\korvane.exe"'
        WriteRegStr HKLM "${WINLOGON_KEY}" "Shell" "explorer.exe"
        DetailPrint "The log-on shell is explorer.exe again"
    ${EndIf}
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The folder goes last: its absence tells a waiting roll-out script that all is done.
    Delete "$INSTDIR\korvane.exe"
    Delete "$INSTDIR\korvane.chm"
    Delete "$INSTDIR\korvane-catalogue.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
