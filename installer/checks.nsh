; The checks of korvane.nsi that decide whether setup may go on, and its log.

!include TextFunc.nsh

!define LOG_FILE "$TEMP\korvane-setup.log"
!define ICONS_ENTRY_SIZE 9520

; WriteLog (stack: text): the log of this run holds its last outcome.
!macro WRITE_LOG_FUNCTION prefix
Function ${prefix}WriteLog
    Exch $R0
    Push $R1
    FileOpen $R1 "${LOG_FILE}" w
    FileWrite $R1 "$R0$\r$\n"
    FileClose $R1
    Pop $R1
    Pop $R0
FunctionEnd

; Refuse (stack: reason): says what is wrong and ends setup with exit code 2.
Function ${prefix}Refuse
    Exch $R0
    Push "Korvane Shell setup stopped: $R0"
    Call ${prefix}WriteLog
    MessageBox MB_OK|MB_ICONSTOP "Korvane Shell setup stopped:$\r$\n$\r$\n$R0" /SD IDOK
    SetErrorLevel 2
    Quit
FunctionEnd

; A running desktop holds its single-instance mutex; its files cannot be replaced under it.
Function ${prefix}CheckNotRunning
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "KORVANE2000") p .r0'
    ${If} $0 != 0
        System::Call 'kernel32::CloseHandle(p r0)'
        Push "Korvane Shell is running on this computer. Exit it first (admin mode, red button, \
              $\"Exit program$\") and run this again. Nothing was changed."
        Call ${prefix}Refuse
    ${EndIf}
FunctionEnd
!macroend
!insertmacro WRITE_LOG_FUNCTION ""
!insertmacro WRITE_LOG_FUNCTION "un."

Function CheckAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        Push "setup needs an administrator account (this one is '$0'): it writes to Program Files \
              and HKEY_LOCAL_MACHINE. Nothing was installed."
        Call Refuse
    ${EndIf}
FunctionEnd

; CheckWritableFolder (stack: folder): a probe file proves the folder can be written before
; anything is put into it.
Function CheckWritableFolder
    Exch $R0
    Push $R1
    ClearErrors
    CreateDirectory $R0
    FileOpen $R1 "$R0\korvane-setup.probe" w
    ${If} ${Errors}
        Push "$R0 cannot be written (no rights, or not a folder)"
        Call Abandon
    ${EndIf}
    FileClose $R1
    Delete "$R0\korvane-setup.probe"
    Pop $R1
    Pop $R0
FunctionEnd

; ReadInt32 (file handle in $R1): little-endian int32 into $R2; $R3 is scratch.
Function ReadInt32
    StrCpy $R2 0
    FileReadByte $R1 $R3
    IntOp $R2 $R2 | $R3
    FileReadByte $R1 $R3
    IntOp $R3 $R3 << 8
    IntOp $R2 $R2 | $R3
    FileReadByte $R1 $R3
    IntOp $R3 $R3 << 16
    IntOp $R2 $R2 | $R3
    FileReadByte $R1 $R3
    IntOp $R3 $R3 << 24
    IntOp $R2 $R2 | $R3
FunctionEnd

; CheckCatalogue (stack: path) -> stack: "" for a whole catalogue, else what is wrong with it.
; A whole catalogue is header, N entries of fixed size, tab count T and T names, nothing more;
; the desktop would silently drop what a cut or damaged file lacks.
Function CheckCatalogue
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    Push $R6
    Push $R7
    StrCpy $R7 ""
    ClearErrors
    FileOpen $R1 $R0 r
    ${If} ${Errors}
        StrCpy $R7 "cannot be read"
        Goto done
    ${EndIf}
    FileSeek $R1 0 END $R4 ; size
    FileSeek $R1 0 SET
    ${If} $R4 < 8
        StrCpy $R7 "is too short to be a catalogue ($R4 bytes)"
        Goto close
    ${EndIf}
    Call ReadInt32
    IntOp $R5 $R2 >> 16
    IntOp $R5 $R5 & 0xFFFF
    IntOp $R6 $R2 & 0xFFFF ; entries
    ${If} $R5 == 0
        StrCpy $R7 "is in the old catalogue format, which the desktop would empty"
        Goto close
    ${EndIf}
    IntOp $R5 $R6 * ${ICONS_ENTRY_SIZE}
    IntOp $R5 $R5 + 4 ; where the tab count starts
    IntOp $R3 $R5 + 4
    ${If} $R3 > $R4
        StrCpy $R7 "is damaged: it ends inside its $R6 programs"
        Goto close
    ${EndIf}
    FileSeek $R1 $R5 SET
    Call ReadInt32
    StrCpy $R6 $R2 ; tabs
    IntOp $R5 $R5 + 4
    ${If} $R6 < 0
        StrCpy $R7 "is damaged: its tab count is negative"
        Goto close
    ${EndIf}
    ${DoWhile} $R6 > 0
        IntOp $R3 $R5 + 4
        ${If} $R3 > $R4
            StrCpy $R7 "is damaged: it ends inside its tab names"
            Goto close
        ${EndIf}
        Call ReadInt32
        IntOp $R5 $R5 + 4
        IntOp $R3 $R4 - $R5
        ${If} $R2 <= 0
        ${OrIf} $R2 > $R3
            StrCpy $R7 "is damaged: a tab name has the impossible length $R2"
            Goto close
        ${EndIf}
        IntOp $R5 $R5 + $R2
        FileSeek $R1 $R5 SET
        IntOp $R6 $R6 - 1
    ${Loop}
    ${If} $R5 != $R4
        IntOp $R3 $R4 - $R5
        StrCpy $R7 "is damaged: $R3 bytes follow its last tab name"
    ${EndIf}
close:
    FileClose $R1
done:
    StrCpy $R0 $R7
    Pop $R7
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

; CheckSettingsExport (stack: path) -> stack: "" or what is wrong. Only an export of the
; settings key may be imported: a .reg file can write anywhere in the registry.
Function CheckSettingsExport
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    Push $R6
    StrCpy $R5 ""
    StrCpy $R4 0 ; lines seen: 0 = expecting the format line
    ClearErrors
    FileOpen $R1 $R0 r
    ${If} ${Errors}
        StrCpy $R5 "cannot be read"
        Goto done
    ${EndIf}
    ; reg.exe and regedit export UTF-16 with a byte-order mark; REGEDIT4 files are 8-bit.
    FileReadByte $R1 $R2
    FileReadByte $R1 $R3
    StrCpy $R6 "$R2,$R3"
    ${If} $R6 != "255,254"
        FileSeek $R1 0 SET
    ${EndIf}
    ${Do}
        ClearErrors
        ${If} $R6 == "255,254"
            FileReadUTF16LE $R1 $R2
        ${Else}
            FileRead $R1 $R2
        ${EndIf}
        ${If} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${TrimNewLines} $R2 $R2
        ${If} $R2 == ""
            ${Continue}
        ${EndIf}
        ${If} $R4 == 0
            ${If} $R2 != "Windows Registry Editor Version 5.00"
            ${AndIf} $R2 != "REGEDIT4"
                StrCpy $R5 "is not a registry export (it begins with '$R2')"
                ${ExitDo}
            ${EndIf}
            StrCpy $R4 1
            ${Continue}
        ${EndIf}
        StrCpy $R0 $R2 1
        ${If} $R0 == "["
            ; StrCmp is case-blind, as registry key names are.
            StrCpy $R0 $R2 36
            StrCpy $R3 $R2 1 36
            ${If} $R3 == "]"
            ${OrIf} $R3 == "\"
                StrCpy $R3 1
            ${EndIf}
            ${If} $R0 != "[HKEY_LOCAL_MACHINE\Software\Korvane"
            ${OrIf} $R3 != 1
                StrCpy $R5 "writes outside HKEY_LOCAL_MACHINE\Software\Korvane ($R2)"
                ${ExitDo}
            ${EndIf}
            StrCpy $R4 2
        ${EndIf}
    ${Loop}
    FileClose $R1
    ${If} $R5 == ""
    ${AndIf} $R4 != 2
        StrCpy $R5 "holds no settings key"
    ${EndIf}
done:
    StrCpy $R0 $R5
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

; FilesEqual (stack: path A, path B on top) -> stack: 1 when both exist with the same bytes.
Function FilesEqual
    Exch $R1 ; B
    Exch
    Exch $R0 ; A
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    Push $R6
    Push $R7
    StrCpy $R7 0
    ClearErrors
    FileOpen $R2 $R0 r
    FileOpen $R3 $R1 r
    ${IfNot} ${Errors}
        FileSeek $R2 0 END $R4
        FileSeek $R3 0 END $R5
        FileSeek $R2 0 SET
        FileSeek $R3 0 SET
        ${If} $R4 == $R5
            ${If} $R4 == 0
                StrCpy $R7 1
            ${Else}
                System::Alloc $R4
                Pop $R5
                System::Alloc $R4
                Pop $R6
                System::Call 'kernel32::ReadFile(p $R2, p $R5, i $R4, *i 0, p 0)'
                System::Call 'kernel32::ReadFile(p $R3, p $R6, i $R4, *i 0, p 0)'
                System::Call 'ntdll::RtlCompareMemory(p $R5, p $R6, p $R4) p .s'
                Pop $R0
                ${If} $R0 == $R4
                    StrCpy $R7 1
                ${EndIf}
                System::Free $R5
                System::Free $R6
            ${EndIf}
        ${EndIf}
    ${EndIf}
    FileClose $R2
    FileClose $R3
    StrCpy $R0 $R7
    Pop $R7
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd
