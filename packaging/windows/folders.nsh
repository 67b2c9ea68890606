; The two folders: the program's ($INSTDIR), which only administrators and the system may change,
; and the restaurant's ($DataDir: the ini files, the log, the journal, the databases, Doviz.xml,
; the PDF printers' folders), which the users who run the server may change and from which
; nothing is ever run. Kurulum.ini beside the program names the restaurant's folder.

; An upgrade keeps the folder Kurulum.ini names. Earlier setups and the zip kept everything in
; one folder (C:\Velmora): that folder stays the restaurant's and the program moves out of it.
; So does /D= of an earlier setup's command line, which named that one folder.
Function ChooseFolders
    ${GetParameters} $R0
    ${GetOptions} $R0 "/VERI=" $DataDir
    ReadINIStr $0 "$INSTDIR\${INSTALLATION_INI}" "Kurulum" "Veri klasoru"
    ${If} $0 != ""
        StrCpy $DataDir $0
    ${ElseIf} ${FileExists} "$INSTDIR\velmora.exe"
    ${OrIf} ${FileExists} "$INSTDIR\Database.ini"
        StrCpy $DataDir $INSTDIR
    ${ElseIf} $DataDir == ""
        StrCpy $DataDir "${DEFAULT_DATA_DIR}"
    ${EndIf}
    ${If} $DataDir == $INSTDIR
        StrCpy $INSTDIR "$PROGRAMFILES64\Velmora"
    ${EndIf}
FunctionEnd

; Pushes why the restaurant's folder cannot be used, or "". It must be Velmora's own (new, empty
; or already holding the restaurant's files), since a full uninstallation deletes it whole, and
; never the program's folder.
Function CheckDataFolder
    StrLen $0 $DataDir
    ${GetFileAttributes} "$DataDir" "REPARSE_POINT" $1
    ${DirState} "$DataDir" $2
    ${If} $DataDir == $INSTDIR
    ${OrIf} $0 <= 3 ; a drive
    ${OrIf} $1 = 1 ; a link to another folder
        Push "$(DataFolderNotOwn)"
    ${ElseIf} $2 = 1
    ${AndIfNot} ${FileExists} "$DataDir\Database.ini"
    ${AndIfNot} ${FileExists} "$DataDir\Velmora.ini"
    ${AndIfNot} ${FileExists} "$DataDir\velmora.exe"
        Push "$(DataFolderNotOwn)"
    ${Else}
        Push ""
    ${EndIf}
FunctionEnd

; Shown on a first installation only: the restaurant's files stay where they are.
Function DataFolderPageCreate
    ${If} ${FileExists} "$DataDir\Database.ini"
        Abort
    ${EndIf}
FunctionEnd

Function DataFolderPageLeave
    Call CheckDataFolder
    Pop $0
    ${If} $0 != ""
        MessageBox MB_ICONEXCLAMATION "$0" /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

; Gives a folder permissions of its own: administrators and the system full control, users the
; rights on the stack (RX: read and run, M: change), nothing inherited from the folder above,
; where every user may often write. A folder left with other permissions stops the setup.
Function RestrictFolder
    Exch $R1 ; users' rights
    Exch
    Exch $R0 ; folder
    nsExec::ExecToStack '"$SYSDIR\icacls.exe" "$R0" /inheritance:r /grant:r \
        *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)$R1'
    Pop $0
    Pop $1
    !insertmacro SetupLog "icacls $R0 (kullanicilar: $R1): $0 $1"
    ${If} $0 != 0
        MessageBox MB_ICONSTOP "$(FolderPermissionsFailed)$\r$\n$R0" /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    Pop $R0
    Pop $R1
FunctionEnd

!macro FolderFunctions UN
; Deletes a folder with everything in it. Users may have put links to other folders into the
; restaurant's folder; cmd's rd removes such a link, never what it points to.
Function ${UN}RemoveTree
    Exch $R0
    ${If} ${FileExists} "$R0\*.*"
        nsExec::ExecToStack '"$SYSDIR\cmd.exe" /c rd /s /q "$R0"'
        Pop $0
        Pop $0
    ${EndIf}
    ; Another program holding a file, say.
    ${If} ${FileExists} "$R0\*.*"
        DetailPrint "$(FolderNotRemoved) $R0"
        SetErrorLevel 2
    ${EndIf}
    Pop $R0
FunctionEnd

; The program's files in a folder, as cmake/WindowsPackage.cmake lays them out.
Function ${UN}RemoveProgramFiles
    Exch $R0
    Delete "$R0\velmora*.exe" ; the server, its tools and the uninstaller
    Delete "$R0\*.dll"
    Delete "$R0\OKUBENI.txt"
    Delete "$R0\kurulum.log"
    Delete "$R0\${INSTALLATION_INI}"
    Push "$R0\platforms"
    Call ${UN}RemoveTree
    Push "$R0\sqldrivers"
    Call ${UN}RemoveTree
    Push "$R0\styles"
    Call ${UN}RemoveTree
    Push "$R0\tls"
    Call ${UN}RemoveTree
    Pop $R0
FunctionEnd
!macroend

!insertmacro FolderFunctions ""
!insertmacro FolderFunctions "un."
