; The install as one transaction. Every program file arrives under a temporary name and is
; checked before it replaces the installed one in a single rename; every registry key and
; value it changes is copied first. A failure at any step (Abandon, or NSIS aborting on a file
; it cannot write) puts back what was there, so a refused setup leaves the computer as it was,
; and the Winlogon shell never names a program that is missing or cut short.

!define HKLM_HANDLE -2147483646 ; HKEY_LOCAL_MACHINE as a pointer-sized handle
!define KEY_READ_64 0x20119
!define KEY_ALL_ACCESS_64 0xF013F
!define MOVEFILE_REPLACE_WRITE_THROUGH 9
!define MOVEFILE_WRITE_THROUGH 8
!define BACKUP_KEY "Software\Korvane setup backup"

; The version resource of the korvane.exe packed into this setup.
!getdllversion "${EXE}" PACKED_EXE_VERSION_
!define PACKED_EXE_VERSION \
    "${PACKED_EXE_VERSION_1}.${PACKED_EXE_VERSION_2}.${PACKED_EXE_VERSION_3}.${PACKED_EXE_VERSION_4}"

; What to put back, in the order it was changed.
Var madeInstallFolder ; 1 when this run created $INSTDIR
Var madeDataFolder    ; 1 when this run created the data folder
Var madeDataParent    ; 1 when this run created its parent too
Var settingsState     ; "" untouched, "missing" (no key before) or "copied" (to the backup)
Var committedFiles    ; how many program files replaced their installed copies
Var uninstallState    ; as settingsState, for the Programs and Features key
Var madeShortcut      ; 1 when this run created the Start-menu shortcut
Var shellState        ; "" untouched, "missing" or "saved" (in $oldShell)
Var oldShell
Var luaState
Var oldLua

; The program files, in the order they are staged and committed.
!macro FOR_EACH_PROGRAM_FILE action
    !insertmacro ${action} "korvane.exe"
    !insertmacro ${action} "korvane.chm"
!ifdef CATALOGUE_TOOL
    !insertmacro ${action} "korvane-catalogue.exe"
!endif
    !insertmacro ${action} "uninstall.exe"
!macroend

; Abandon (stack: what failed): undoes this run and refuses with exit code 2.
Function Abandon
    Exch $R0
    Call Rollback
    Push "$R0. Setup undid its changes: the computer is as it was before"
    Call Refuse
FunctionEnd

; NSIS aborts by itself when a file it unpacks cannot be written to the end (a full disk).
Function .onInstFailed
    Call Rollback
    Push "Korvane Shell setup stopped: a file could not be written in $INSTDIR (is the disk \
          full?). Setup undid its changes: the computer is as it was before"
    Call WriteLog
    SetErrorLevel 2
FunctionEnd

; BeginInstall: the two folders setup writes, made if needed and proved writable.
Function BeginInstall
    StrCpy $madeInstallFolder 0
    StrCpy $madeDataFolder 0
    StrCpy $madeDataParent 0
    StrCpy $committedFiles 0
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
        StrCpy $madeInstallFolder 1
    ${EndIf}
    ${IfNot} ${FileExists} "${DATA_DIR}\*.*"
        StrCpy $madeDataFolder 1
    ${EndIf}
    ${IfNot} ${FileExists} "${DATA_PARENT}\*.*"
        StrCpy $madeDataParent 1
    ${EndIf}
    Push $INSTDIR
    Call CheckWritableFolder
    Push "${DATA_DIR}"
    Call CheckWritableFolder
FunctionEnd

; STAGE name source: the packed file as NAME.new beside its installed copy, proved complete
; by the error flag and its presence.
!macro STAGE name source
    Delete "$INSTDIR\${name}.new"
    ClearErrors
    File "/oname=${name}.new" "${source}"
    ${If} ${Errors}
    ${OrIfNot} ${FileExists} "$INSTDIR\${name}.new"
        Push "$INSTDIR\${name}.new could not be written"
        Call Abandon
    ${EndIf}
!macroend

Function StageProgramFiles
    SetOutPath $INSTDIR
    !insertmacro STAGE "korvane.exe" "${EXE}"
    Push "$INSTDIR\korvane.exe.new"
    Call CheckProgram
    !insertmacro STAGE "korvane.chm" "${CHM}"
!ifdef CATALOGUE_TOOL
    !insertmacro STAGE "korvane-catalogue.exe" "${CATALOGUE_TOOL}"
!endif
    Delete "$INSTDIR\uninstall.exe.new"
    ClearErrors
    WriteUninstaller "$INSTDIR\uninstall.exe.new"
    ${If} ${Errors}
    ${OrIfNot} ${FileExists} "$INSTDIR\uninstall.exe.new"
        Push "$INSTDIR\uninstall.exe.new could not be written"
        Call Abandon
    ${EndIf}
FunctionEnd

; CheckProgram (stack: path): the file exists and its version resource reads back as that of
; the korvane.exe in this setup.
Function CheckProgram
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    ClearErrors
    GetDLLVersion $R0 $R1 $R2
    ${If} ${Errors}
        Push "$R0 is missing or has no readable version"
        Call Abandon
    ${EndIf}
    IntOp $R3 $R1 >>> 16
    IntOp $R4 $R1 & 0xFFFF
    StrCpy $R3 "$R3.$R4"
    IntOp $R4 $R2 >>> 16
    StrCpy $R3 "$R3.$R4"
    IntOp $R4 $R2 & 0xFFFF
    StrCpy $R3 "$R3.$R4"
    ${If} $R3 != "${PACKED_EXE_VERSION}"
        Push "$R0 reads back as version $R3, not ${PACKED_EXE_VERSION}"
        Call Abandon
    ${EndIf}
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd

; CommitFile (stack: name): NAME.new replaces NAME in one rename, the installed copy kept as
; NAME.old until setup has succeeded.
Function CommitFile
    Exch $R0
    Push $R1
    Delete "$INSTDIR\$R0.old"
    StrCpy $R1 1
    ${If} ${FileExists} "$INSTDIR\$R0"
        System::Call 'kernel32::CopyFileW(w "$INSTDIR\$R0", w "$INSTDIR\$R0.old", i 0) i .R1'
    ${EndIf}
    ${If} $R1 != 0
        System::Call 'kernel32::MoveFileExW(w "$INSTDIR\$R0.new", w "$INSTDIR\$R0", \
                      i ${MOVEFILE_REPLACE_WRITE_THROUGH}) i .R1'
    ${EndIf}
    ${If} $R1 == 0
        Delete "$INSTDIR\$R0.old"
        Push "$INSTDIR\$R0 could not be replaced (it is in use, or not a file)"
        Call Abandon
    ${EndIf}
    IntOp $committedFiles $committedFiles + 1
    Pop $R1
    Pop $R0
FunctionEnd

!macro COMMIT name
    Push "${name}"
    Call CommitFile
!macroend

Function CommitProgramFiles
    !insertmacro FOR_EACH_PROGRAM_FILE COMMIT
FunctionEnd

; CopyKey (stack: from, to on top; both under HKEY_LOCAL_MACHINE) -> stack: "copied",
; "missing" when FROM does not exist (TO is then removed), or "failed".
Function CopyKey
    Exch $R1
    Exch
    Exch $R0
    Push $R2
    Push $R3
    Push $R4
    DeleteRegKey HKLM $R1
    StrCpy $R4 failed
    System::Call 'advapi32::RegOpenKeyExW(p ${HKLM_HANDLE}, w R0, i 0, i ${KEY_READ_64}, *p .R2) i .R3'
    ${If} $R3 == 2 ; ERROR_FILE_NOT_FOUND
        StrCpy $R4 missing
    ${ElseIf} $R3 == 0
        System::Call 'advapi32::RegCreateKeyExW(p ${HKLM_HANDLE}, w R1, i 0, p 0, i 0, \
                      i ${KEY_ALL_ACCESS_64}, p 0, *p .R3, p 0) i .R0'
        ${If} $R0 == 0
            System::Call 'advapi32::RegCopyTreeW(p R2, p 0, p R3) i .R0'
            ${If} $R0 == 0
                StrCpy $R4 copied
            ${EndIf}
            System::Call 'advapi32::RegCloseKey(p R3)'
        ${EndIf}
        System::Call 'advapi32::RegCloseKey(p R2)'
    ${EndIf}
    StrCpy $R0 $R4
    Pop $R4
    Pop $R3
    Pop $R2
    Exch
    Pop $R1
    Exch $R0
FunctionEnd

; SaveKey (stack: key, backup name on top) -> stack: "copied" or "missing"; abandons when the
; key exists but cannot be copied.
Function SaveKey
    Exch $R1
    Exch
    Exch $R0
    Push $R0
    Push "${BACKUP_KEY}\$R1"
    Call CopyKey
    Pop $R1
    ${If} $R1 == failed
        Push "HKEY_LOCAL_MACHINE\$R0 could not be copied for a roll-back"
        Call Abandon
    ${EndIf}
    Pop $R0
    Exch $R1
FunctionEnd

; RestoreKey (stack: key, backup name, state on top): puts the key back as SaveKey found it.
Function RestoreKey
    Exch $R2
    Exch
    Exch $R1
    Exch 2
    Exch $R0 ; the stack now holds the old $R0, $R2, $R1
    ${If} $R2 != ""
        DeleteRegKey HKLM $R0
        ${If} $R2 == copied
            Push "${BACKUP_KEY}\$R1"
            Push $R0
            Call CopyKey
            Pop $R2
        ${EndIf}
    ${EndIf}
    Pop $R0
    Pop $R2
    Pop $R1
FunctionEnd

; ImportSettings: korvane.reg into the settings key, which is copied first.
Function ImportSettings
    Push "${SETTINGS_KEY}"
    Push settings
    Call SaveKey
    Pop $settingsState
    DetailPrint "Importing the settings of $EXEDIR\korvane.reg"
    nsExec::ExecToLog '"$SYSDIR\reg.exe" import "$EXEDIR\korvane.reg" /reg:64'
    Pop $0
    ${If} $0 != 0
        Push "the settings of $EXEDIR\korvane.reg could not be imported (reg.exe: $0)"
        Call Abandon
    ${EndIf}
FunctionEnd

; RegisterProgram: the Start-menu shortcut and the Programs and Features entry.
Function RegisterProgram
    Push "${UNINSTALL_KEY}"
    Push uninstall
    Call SaveKey
    Pop $uninstallState
    StrCpy $madeShortcut 0
    ${IfNot} ${FileExists} "${SHORTCUT}"
        StrCpy $madeShortcut 1
    ${EndIf}
    ClearErrors
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
    ${If} ${Errors}
        Push "the Start-menu shortcut or the Programs and Features entry could not be written"
        Call Abandon
    ${EndIf}
FunctionEnd

; Integrate: the same two values as the desktop's "Integration to system", written only once
; the installed korvane.exe is there and reads back. The path is quoted: it holds spaces.
Function Integrate
    Push "$INSTDIR\korvane.exe"
    Call CheckProgram
    ClearErrors
    ReadRegStr $oldShell HKLM "${WINLOGON_KEY}" "Shell"
    StrCpy $shellState saved
    ${If} ${Errors}
        StrCpy $shellState missing
    ${EndIf}
    ClearErrors
    ReadRegDWORD $oldLua HKLM "${POLICY_KEY}" "EnableLUA"
    StrCpy $luaState saved
    ${If} ${Errors}
        StrCpy $luaState missing
    ${EndIf}
    ClearErrors
    WriteRegDWORD HKLM "${POLICY_KEY}" "EnableLUA" 0
    WriteRegStr HKLM "${WINLOGON_KEY}" "Shell" '"$INSTDIR\korvane.exe"'
    ${If} ${Errors}
        Push "the log-on shell could not be set"
        Call Abandon
    ${EndIf}
    DetailPrint "Korvane Shell is the log-on shell from the next log-on"
FunctionEnd

!macro UNDO_COMMIT name
    ${If} $R0 < $committedFiles
        ${If} ${FileExists} "$INSTDIR\${name}.old"
            System::Call 'kernel32::MoveFileExW(w "$INSTDIR\${name}.old", w "$INSTDIR\${name}", \
                          i ${MOVEFILE_REPLACE_WRITE_THROUGH}) i .R1'
        ${Else}
            Delete "$INSTDIR\${name}"
        ${EndIf}
    ${EndIf}
    IntOp $R0 $R0 + 1
!macroend

!macro DELETE_LEFTOVERS name
    Delete "$INSTDIR\${name}.new"
    Delete "$INSTDIR\${name}.old"
!macroend

; Rollback: undoes whatever this run changed, last change first.
Function Rollback
    Push $R0
    Push $R1
    ${If} $shellState == saved
        WriteRegStr HKLM "${WINLOGON_KEY}" "Shell" $oldShell
    ${ElseIf} $shellState == missing
        DeleteRegValue HKLM "${WINLOGON_KEY}" "Shell"
    ${EndIf}
    ${If} $luaState == saved
        WriteRegDWORD HKLM "${POLICY_KEY}" "EnableLUA" $oldLua
    ${ElseIf} $luaState == missing
        DeleteRegValue HKLM "${POLICY_KEY}" "EnableLUA"
    ${EndIf}
    ${If} $madeShortcut == 1
        Delete "${SHORTCUT}"
    ${EndIf}
    Push "${UNINSTALL_KEY}"
    Push uninstall
    Push $uninstallState
    Call RestoreKey
    StrCpy $R0 0
    !insertmacro FOR_EACH_PROGRAM_FILE UNDO_COMMIT
    !insertmacro FOR_EACH_PROGRAM_FILE DELETE_LEFTOVERS
    Push "${SETTINGS_KEY}"
    Push settings
    Push $settingsState
    Call RestoreKey
    DeleteRegKey HKLM "${BACKUP_KEY}"
    ${If} $madeInstallFolder == 1
        SetOutPath $TEMP ; the working folder would keep the install folder in use
        RMDir $INSTDIR
    ${EndIf}
    ${If} $madeDataFolder == 1
        RMDir "${DATA_DIR}"
    ${EndIf}
    ${If} $madeDataParent == 1
        RMDir "${DATA_PARENT}"
    ${EndIf}
    Pop $R1
    Pop $R0
FunctionEnd

; EndInstall: setup succeeded; the kept copies and backups go.
Function EndInstall
    !insertmacro FOR_EACH_PROGRAM_FILE DELETE_LEFTOVERS
    DeleteRegKey HKLM "${BACKUP_KEY}"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd
