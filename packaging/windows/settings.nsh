; The database settings and the status page password, from the settings page, a file named by
; /CONFIG= (so that no password shows on the command line) or the command line, which wins over
; the file. They are written only into the ini files this setup creates, never into ones an
; earlier installation left; an empty value keeps the shipped default.
Var DbServer
Var DbName
Var DbUser
Var DbPass
Var PagePassword
Var ServerField
Var NameField
Var UserField
Var PassField
Var PagePasswordField

!macro SettingOption OPTION VAR
    ClearErrors
    ${GetOptions} $R0 "${OPTION}" $R1
    ${IfNot} ${Errors}
        StrCpy ${VAR} $R1
    ${EndIf}
!macroend

; The file has the sections and keys of Database.ini and Velmora.ini, in the ANSI code page.
Function ReadSettings
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/CONFIG=" $R1
    ${IfNot} ${Errors}
        GetFullPathName $R2 $R1
        ${IfNot} ${FileExists} $R2
        ${OrIf} ${FileExists} "$R2\*.*"
            MessageBox MB_ICONSTOP "$(ConfigFileMissing)$\r$\n$R1" /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        ReadINIStr $DbServer $R2 "Database" "Server"
        ReadINIStr $DbName $R2 "Database" "Database"
        ReadINIStr $DbUser $R2 "Database" "User"
        ReadINIStr $DbPass $R2 "Database" "Pass"
        ReadINIStr $PagePassword $R2 "Durum Sayfasi" "Sifre"
    ${EndIf}
    !insertmacro SettingOption "/SERVER=" $DbServer
    !insertmacro SettingOption "/DATABASE=" $DbName
    !insertmacro SettingOption "/USER=" $DbUser
    !insertmacro SettingOption "/PASS=" $DbPass
    !insertmacro SettingOption "/SIFRE=" $PagePassword
FunctionEnd

; At least 8 characters, as the server asks, or none. Velmora.ini is UTF-8 and Windows writes
; ini values in the ANSI code page: only ASCII reads the same both ways. Pushes 1 when the
; password is usable.
Function PagePasswordIsUsable
    ${StrFilter} "$PagePassword" "12" "!#$$%&'()*+,-./:;<=>?@[\]^_{|}~$\" " "" $0
    StrLen $1 $PagePassword
    ${If} $0 S!= $PagePassword
        Push 0
    ${ElseIf} $1 > 0
    ${AndIf} $1 < 8
        Push 0
    ${Else}
        Push 1
    ${EndIf}
FunctionEnd

!macro SettingField ROW LABEL VALUE KIND FIELD
    ${NSD_CreateLabel} 0 ${ROW}u 40% 12u "${LABEL}"
    Pop $0
    ${NSD_Create${KIND}} 42% ${ROW}u 56% 12u "${VALUE}"
    Pop ${FIELD}
!macroend

; Shown on a first installation only: an upgrade keeps the settings it finds.
Function SettingsPageCreate
    ${If} ${FileExists} "$DataDir\Database.ini"
        Abort
    ${EndIf}
    !insertmacro MUI_HEADER_TEXT "$(SettingsTitle)" "$(SettingsSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 28u "$(SettingsHint)"
    Pop $0
    !insertmacro SettingField 34 "$(LabelServer)" $DbServer Text $ServerField
    !insertmacro SettingField 50 "$(LabelDatabase)" $DbName Text $NameField
    !insertmacro SettingField 66 "$(LabelUser)" $DbUser Text $UserField
    !insertmacro SettingField 82 "$(LabelPass)" $DbPass Password $PassField
    !insertmacro SettingField 106 "$(LabelPagePassword)" $PagePassword Password $PagePasswordField
    nsDialogs::Show
FunctionEnd

Function SettingsPageLeave
    ${NSD_GetText} $ServerField $DbServer
    ${NSD_GetText} $NameField $DbName
    ${NSD_GetText} $UserField $DbUser
    ${NSD_GetText} $PassField $DbPass
    ${NSD_GetText} $PagePasswordField $PagePassword
    Call PagePasswordIsUsable
    Pop $0
    ${If} $0 = 0
        MessageBox MB_ICONEXCLAMATION "$(PagePasswordUnusable)" /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

!macro WriteSetting FILE SECTION KEY VALUE
    ${If} ${VALUE} != ""
        WriteINIStr "$DataDir\${FILE}" "${SECTION}" "${KEY}" ${VALUE}
    ${EndIf}
!macroend

Function WriteDatabaseSettings
    !insertmacro WriteSetting "Database.ini" "Database" "Server" $DbServer
    !insertmacro WriteSetting "Database.ini" "Database" "Database" $DbName
    !insertmacro WriteSetting "Database.ini" "Database" "User" $DbUser
    !insertmacro WriteSetting "Database.ini" "Database" "Pass" $DbPass
FunctionEnd

Function WritePagePassword
    !insertmacro WriteSetting "Velmora.ini" "Durum Sayfasi" "Sifre" $PagePassword
FunctionEnd
