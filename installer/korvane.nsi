; Setup of Korvane Shell. Built by the "installer" target, which passes VERSION, OUTFILE,
; EXE, CHM and, when the tool is built, CATALOGUE_TOOL.
;
; The checks of the files beside setup run before the first write; every write after them is
; checked and undone when a later one fails (transaction.nsh), so a refused setup leaves the
; computer as it found it. A refusal exits with code 2 and names its reason in
; %TEMP%\korvane-setup.log (and in a message box unless /S was given).

Unicode true
Target amd64-unicode
; Not solid: a solid archive is unpacked whole into a temporary file at the first File
; command, which needs all of its space a second time in %TEMP%.
SetCompressor lzma

!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Korvane Shell"
!define PUBLISHER "Quillmoran"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define WINLOGON_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon"
!define POLICY_KEY "Software\Microsoft\Windows\CurrentVersion\Policies\System"
!define DATA_PARENT "$APPDATA\Quillmoran"
!define DATA_DIR "${DATA_PARENT}\Shell"
!define SETTINGS_KEY "Software\Korvane"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

!include checks.nsh
!include transaction.nsh

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
    Call BeginInstall
    Call StageProgramFiles
    ${If} $takeSettings == 1
        Call ImportSettings
    ${EndIf}
    Call CommitProgramFiles
    Call RegisterProgram
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/INTEGRATE" $1
    ${IfNot} ${Errors}
        Call Integrate
    ${EndIf}
    ; Last, as its own failure puts the previous catalogue back by itself.
    ${If} $takeCatalogue == 1
        Call TakeOverCatalogue
    ${EndIf}
    Call EndInstall
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
    System::Call 'kernel32::CopyFileW(w "$EXEDIR\icons.bin", w "${DATA_DIR}\icons.bin.tmp", i 0) i .r0'
    ${If} $0 == 0
        Delete "${DATA_DIR}\icons.bin.tmp"
        Push "$EXEDIR\icons.bin could not be copied to ${DATA_DIR}"
        Call Abandon
    ${EndIf}
    StrCpy $1 0 ; 1 once the previous catalogue is icons.bin.bak
    ${If} ${FileExists} "${DATA_DIR}\icons.bin"
        Delete "${DATA_DIR}\icons.bin.bak"
        System::Call 'kernel32::MoveFileExW(w "${DATA_DIR}\icons.bin", w "${DATA_DIR}\icons.bin.bak", \
                      i ${MOVEFILE_WRITE_THROUGH}) i .r0'
        ${If} $0 == 0
            Delete "${DATA_DIR}\icons.bin.tmp"
            Push "the previous catalogue could not be kept as ${DATA_DIR}\icons.bin.bak"
            Call Abandon
        ${EndIf}
        StrCpy $1 1
        DetailPrint "The previous catalogue is kept as ${DATA_DIR}\icons.bin.bak"
    ${EndIf}
    System::Call 'kernel32::MoveFileExW(w "${DATA_DIR}\icons.bin.tmp", w "${DATA_DIR}\icons.bin", \
                  i ${MOVEFILE_WRITE_THROUGH}) i .r0'
    ${If} $0 == 0
        ${If} $1 == 1
            System::Call 'kernel32::MoveFileExW(w "${DATA_DIR}\icons.bin.bak", \
                          w "${DATA_DIR}\icons.bin", i ${MOVEFILE_WRITE_THROUGH}) i .r0'
        ${EndIf}
        Delete "${DATA_DIR}\icons.bin.tmp"
        Push "the new catalogue could not replace ${DATA_DIR}\icons.bin"
        Call Abandon
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
    ; What a setup stopped half-way (power cut, process killed) may have left beside them.
    !insertmacro FOR_EACH_PROGRAM_FILE DELETE_LEFTOVERS
    RMDir "$INSTDIR"
SectionEnd
