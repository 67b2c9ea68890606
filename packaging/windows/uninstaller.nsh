; Removes the program and everything the setup told Windows; the restaurant's files stay unless
; their section is ticked, so a silent uninstallation keeps them.

Section "un.$(UnSecProgram)" UnSecProgram
    SectionIn RO
    Call un.CloseRunningServer
    Delete "$INSTDIR\velmora*.exe" ; the server, its tools and this uninstaller
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\OKUBENI.txt"
    Delete "$INSTDIR\kurulum.log"
    ; The plugin folders of cmake/WindowsPackage.cmake.
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\sqldrivers"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\tls"
    RMDir /r "$SMPROGRAMS\Velmora"
    DeleteRegValue HKLM "${RUN_KEY}" "Velmora"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    nsExec::ExecToStack 'netsh advfirewall firewall delete rule name="${FIREWALL_RULE}"'
    Pop $0
    Pop $1
    DetailPrint "netsh $0: $1"
SectionEnd

Section /o "un.$(UnSecFiles)" UnSecFiles
    Delete "$INSTDIR\Database.ini"
    Delete "$INSTDIR\Velmora.ini"
    Delete "$INSTDIR\*.db"
    Delete "$INSTDIR\*.db-journal"
    Delete "$INSTDIR\*.db-wal"
    Delete "$INSTDIR\*.db-shm"
    Delete "$INSTDIR\velmora.log"
SectionEnd

; Only an empty folder goes.
Section "-un.Folder"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
    !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecFiles} "$(UnSecFilesInfo)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
