; Removes the program and everything the setup told Windows; the restaurant's folder stays unless
; its section is ticked (or /DOSYALAR=1 given), so a plain silent uninstallation keeps it.

Section "un.$(UnSecProgram)" UnSecProgram
    SectionIn RO
    Call un.CloseRunningServer
    Push "$INSTDIR"
    Call un.RemoveProgramFiles
    RMDir /r "$SMPROGRAMS\Velmora"
    DeleteRegValue HKLM "${RUN_KEY}" "Velmora"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    nsExec::ExecToStack '"$SYSDIR\netsh.exe" advfirewall firewall delete rule \
        name="${FIREWALL_RULE}"'
    Pop $0
    Pop $1
    DetailPrint "netsh $0: $1"
SectionEnd

; The whole folder, whatever the server made there: the setup accepts only a folder of Velmora's
; own.
Section /o "un.$(UnSecFiles)" UnSecFiles
    ${If} $DataDir != ""
        Push "$DataDir"
        Call un.RemoveTree
    ${EndIf}
SectionEnd

; Only an empty folder goes.
Section "-un.Folder"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
    !insertmacro MUI_UNGETLANGUAGE
    ReadINIStr $DataDir "$INSTDIR\${INSTALLATION_INI}" "Kurulum" "Veri klasoru"
    ${GetParameters} $R0
    ${GetOptions} $R0 "/DOSYALAR=" $R1
    ${If} $R1 == "1"
        !insertmacro SelectSection ${UnSecFiles}
    ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecFiles} "$(UnSecFilesInfo)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
