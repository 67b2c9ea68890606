; Installs the program in its folder and creates the restaurant's files in theirs once, never
; replacing them, and tells Windows about it: Start menu, Apps & features, autostart, firewall.

; kurulum.log beside the program keeps what a silent installation would otherwise say to nobody.
!macro SetupLog TEXT
    DetailPrint "${TEXT}"
    FileOpen $9 "$INSTDIR\kurulum.log" a
    FileSeek $9 0 END
    FileWrite $9 "${TEXT}$\r$\n"
    FileClose $9
!macroend

Section "$(SecProgram)" SecProgram
    SectionIn RO
    Call CheckDataFolder
    Pop $0
    ${If} $0 != ""
        MessageBox MB_ICONSTOP "$0$\r$\n$DataDir" /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    Call CloseRunningServer
    CreateDirectory "$INSTDIR"
    Push "$INSTDIR"
    Push RX
    Call RestrictFolder
    CreateDirectory "$DataDir"
    Push "$DataDir"
    Push M
    Call RestrictFolder
    Push "$DataDir"
    Call RemoveProgramFiles ; of an installation that kept everything there
    SetOutPath "$DataDir"
    ${IfNot} ${FileExists} "$DataDir\Database.ini"
        File "${STAGE}\Database.ini"
        Call WriteDatabaseSettings
    ${EndIf}
    ${IfNot} ${FileExists} "$DataDir\Velmora.ini"
        File "${STAGE}\Velmora.ini"
        Call WritePagePassword
    ${EndIf}
    SetOutPath "$INSTDIR"
    File /r /x Database.ini /x Velmora.ini "${STAGE}\*.*"
    WriteINIStr "$INSTDIR\${INSTALLATION_INI}" "Kurulum" "Veri klasoru" "$DataDir"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    Call RegisterProgram
    Call CreateShortcuts
    Call UpdateFirewall
    !insertmacro SetupLog "Velmora ${VERSION} kuruldu: $INSTDIR, restoranin dosyalari: $DataDir"
SectionEnd

Section "$(SecAutostart)" SecAutostart
    WriteRegStr HKLM "${RUN_KEY}" "Velmora" '"$INSTDIR\velmora.exe"'
SectionEnd

; Last, so that a server the setup closed runs again on the new files, as the user who is logged
; on. A silent installation (IT's, often as the system account) starts nothing: the Run entry
; starts the server at the next log-on.
Section "-Restart"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
        DeleteRegValue HKLM "${RUN_KEY}" "Velmora"
    ${EndIf}
    ${If} $WasRunning = 0
        Return
    ${EndIf}
    ${If} ${Silent}
        !insertmacro SetupLog "Velmora kapatildi; sessiz kurulum onu baslatmaz"
    ${Else}
        Call StartServerAsUser
        !insertmacro SetupLog "Velmora yeniden baslatildi"
    ${EndIf}
SectionEnd

Function RegisterProgram
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

; Pushes the status page's port from Velmora.ini.
Function StatusPagePort
    ReadINIStr $0 "$DataDir\Velmora.ini" "Durum Sayfasi" "Port"
    ${If} $0 == ""
        StrCpy $0 ${DEFAULT_PORT}
    ${EndIf}
    Push $0
FunctionEnd

Function CreateShortcuts
    ; Made anew, in the language of this run. They start in the program's folder, which only
    ; administrators change.
    RMDir /r "$SMPROGRAMS\Velmora"
    CreateDirectory "$SMPROGRAMS\Velmora"
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Velmora\Velmora.lnk" "$INSTDIR\velmora.exe"
    Call StatusPagePort
    Pop $0
    WriteINIStr "$SMPROGRAMS\Velmora\$(ShortcutStatusPage).url" "InternetShortcut" "URL" \
        "http://127.0.0.1:$0/"
    CreateShortcut "$SMPROGRAMS\Velmora\$(ShortcutLogFolder).lnk" "$DataDir"
    CreateShortcut "$SMPROGRAMS\Velmora\$(ShortcutUninstall).lnk" "$INSTDIR\${UNINSTALLER}"
FunctionEnd

; A status page with a password is meant for phones on the restaurant's network: the program
; may take connections from the local subnet, on private and domain networks only, never on a
; public one. Best effort; the log says when Windows refused.
Function UpdateFirewall
    nsExec::ExecToStack '"$SYSDIR\netsh.exe" advfirewall firewall delete rule \
        name="${FIREWALL_RULE}"'
    Pop $0
    Pop $0
    ReadINIStr $1 "$DataDir\Velmora.ini" "Durum Sayfasi" "Sifre"
    ${If} $1 == ""
        Return
    ${EndIf}
    Call StatusPagePort
    Pop $1
    nsExec::ExecToStack '"$SYSDIR\netsh.exe" advfirewall firewall add rule \
        name="${FIREWALL_RULE}" dir=in action=allow program="$INSTDIR\velmora.exe" \
        protocol=TCP localport=$1 remoteip=localsubnet profile=private,domain'
    Pop $0
    Pop $2
    ${If} $0 == 0
        !insertmacro SetupLog "Guvenlik duvarinda durum sayfasina yerel agdan izin verildi: $2"
    ${Else}
        !insertmacro SetupLog "Guvenlik duvari kurali eklenemedi (port $1, netsh $0): $2"
    ${EndIf}
FunctionEnd

Function DirectoryLeave
    Call ServerRuns
    Pop $0
    ${If} $0 = 1
        MessageBox MB_OKCANCEL|MB_ICONQUESTION "$(ServerRunning)" /SD IDOK IDOK +2
        Abort
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 64
    SetShellVarContext all
    ${IfNot} ${RunningX64}
    ${OrIfNot} ${AtLeastWin10}
        MessageBox MB_ICONSTOP "$(UnsupportedSystem)" /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
    !insertmacro MUI_LANGDLL_DISPLAY
    Call ChooseFolders
    Call ReadSettings
    Call PagePasswordIsUsable
    Pop $0
    ${If} $0 = 0
        MessageBox MB_ICONSTOP "$(PagePasswordUnusable)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    ${GetParameters} $R0
    ${GetOptions} $R0 "/AUTOSTART=" $R1
    ${If} $R1 == "0"
        !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
FunctionEnd
