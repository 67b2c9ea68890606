; The database settings and the status page password, from the settings page or the command
; line. They are written only into the ini files this setup creates, never into ones an earlier
; installation left; an empty value keeps the shipped default.
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

Function ReadSettingsFromCommandLine
    ${GetParameters} $R0
    ${GetOptions} $R0 "/SERVER=" $DbServer
    ${GetOptions} $R0 "/DATABASE=" $DbName
    ${GetOptions} $R0 "/USER=" $DbUser
    ${GetOptions} $R0 "/PASS=" $DbPass
    ${GetOptions} $R0 "/SIFRE=" $PagePassword
FunctionEnd

; Velmora.ini is UTF-8 and Windows writes ini values in the ANSI code page: only ASCII reads
; the same both ways. Pushes 1 when the password is usable.
Function PagePasswordIsAscii
    ${StrFilter} "$PagePassword" "12" "!#$$%&'()*+,-./:;<=>?@[\]^_{|}~$\" " "" $0
    ${If} $0 S== $PagePassword
        Push 1
    ${Else}
        Push 0
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
    ${If} ${FileExists} "$INSTDIR\Database.ini"
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
    Call PagePasswordIsAscii
    Pop $0
    ${If} $0 = 0
        MessageBox MB_ICONEXCLAMATION "$(PagePasswordNotAscii)" /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

!macro WriteSetting FILE SECTION KEY VALUE
    ${If} ${VALUE} != ""
        WriteINIStr "$INSTDIR\${FILE}" "${SECTION}" "${KEY}" ${VALUE}
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
