; The whole setup is 64-bit: Qt 6 runs on nothing else, and a 32-bit stub would write the
; registry's 32-bit view.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; A file that cannot be replaced stops the setup rather than leaving an old one among new ones.
AllowSkipFiles off

Name "Velmora"
BrandingText "Velmora ${VERSION}"
OutFile "${OUTFILE}"
; The program, which only administrators may change; the restaurant's files, which the server
; writes, are in a folder of their own ($DataDir).
InstallDir "$PROGRAMFILES64\Velmora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
Var DataDir
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Velmora"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Velmora"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"
!include "WinVer.nsh"
!include "WordFunc.nsh"
!include "x64.nsh"

!define MUI_ABORTWARNING
; The uninstaller speaks the language the setup was run in.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Language"

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_DIRECTORYPAGE_VARIABLE $DataDir
!define MUI_PAGE_HEADER_TEXT "$(DataFolderTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(DataFolderSubtitle)"
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(DataFolderHint)"
!define MUI_PAGE_CUSTOMFUNCTION_PRE DataFolderPageCreate
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DataFolderPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
Page custom SettingsPageCreate SettingsPageLeave
!insertmacro MUI_PAGE_INSTFILES
; Started by the shell, as the user who is logged on: never elevated as the setup is.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartServerAsUser
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Turkish"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL
