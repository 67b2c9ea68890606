; A running velmora.exe is asked to close with --kapat: it finishes the job in hand, so no
; ticket is cut off or printed twice, and then its files can be replaced or removed.
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

; velmora.exe --kapat waits up to 30 seconds for the copy to end; one that is still running
; stops the setup before any file is touched.
Function ${UN}CloseRunningServer
    StrCpy $WasRunning 0
    Call ${UN}ServerRuns
    Pop $0
    ${If} $0 = 0
        Return
    ${EndIf}
    DetailPrint '"$INSTDIR\velmora.exe" --kapat'
    ClearErrors
    ExecWait '"$INSTDIR\velmora.exe" --kapat' $0
    ${If} ${Errors}
        StrCpy $0 2
    ${EndIf}
    ${If} $0 = 0
        StrCpy $WasRunning 1
        ; Its semaphore goes before Windows has let go of every file the process had mapped.
        Sleep 1000
    ${ElseIf} $0 <> 1 ; 1: it had ended by itself meanwhile
        MessageBox MB_ICONSTOP "$(ServerDidNotClose)" /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
FunctionEnd
!macroend

!insertmacro RunningServerFunctions ""
!insertmacro RunningServerFunctions "un."
