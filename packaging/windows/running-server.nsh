; A running velmora.exe is asked to close as "velmora.exe --kapat" asks it, on its named pipe:
; it finishes the job in hand, so no ticket is cut off or printed twice, and then its files can
; be replaced or removed. The setup runs no program of the installation: users may have changed
; the folder of an earlier one, and the setup runs elevated.
Var WasRunning

!macro RunningServerFunctions UN
; Pushes 1 while a copy holds the semaphore "VELMORA", else 0.
Function ${UN}ServerRuns
    System::Call 'kernel32::OpenSemaphoreW(i 0x00100000, i 0, w "VELMORA") p .r0'
    ${If} $0 = 0
        Push 0
    ${Else}
        System::Call 'kernel32::CloseHandle(p r0)'
        Push 1
    ${EndIf}
FunctionEnd

; Pushes 1 when the request reached the copy. Administrators may write to its pipe, other users
; only read.
Function ${UN}AskServerToClose
    ; GENERIC_WRITE, OPEN_EXISTING
    System::Call 'kernel32::CreateFileW(w "\\.\pipe\VELMORA-kapat", i 0x40000000, i 0, p 0, \
        i 3, i 0, p 0) p .r1'
    ${If} $1 = -1
        Push 0
        Return
    ${EndIf}
    System::Call 'kernel32::WriteFile(p r1, m "kapat$\n", i 6, *i .r2, p 0) i .r3'
    ; Returns once the copy has read the request.
    System::Call 'kernel32::FlushFileBuffers(p r1)'
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $3 <> 0
    ${AndIf} $2 = 6
        Push 1
    ${Else}
        Push 0
    ${EndIf}
FunctionEnd

; As --kapat does: a copy still starting may not listen yet and is asked again; it has ended when
; its semaphore is gone. One still running after 30 seconds stops the setup before any file is
; touched.
Function ${UN}CloseRunningServer
    StrCpy $WasRunning 0
    Call ${UN}ServerRuns
    Pop $0
    ${If} $0 = 0
        Return
    ${EndIf}
    DetailPrint "$(ClosingServer)"
    StrCpy $R1 0 ; asked
    StrCpy $R2 300 ; tenths of a second left
    ${DoUntil} $0 = 0
        ${If} $R2 = 0
            MessageBox MB_ICONSTOP "$(ServerDidNotClose)" /SD IDOK
            SetErrorLevel 2
            Abort
        ${EndIf}
        ${If} $R1 = 0
            Call ${UN}AskServerToClose
            Pop $R1
        ${EndIf}
        Sleep 100
        IntOp $R2 $R2 - 1
        Call ${UN}ServerRuns
        Pop $0
    ${Loop}
    ${If} $R1 = 0 ; it had ended by itself meanwhile
        Return
    ${EndIf}
    StrCpy $WasRunning 1
    ; Its semaphore goes before Windows has let go of every file the process had mapped.
    Sleep 1000
FunctionEnd
!macroend

!insertmacro RunningServerFunctions ""
!insertmacro RunningServerFunctions "un."

; The setup runs elevated, and so would anything it starts. The shell that already runs as the
; user who is logged on (explorer) starts the server instead.
Function StartServerAsUser
    Call ServerRuns
    Pop $0
    ${If} $0 = 0
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\velmora.exe"'
    ${EndIf}
FunctionEnd
