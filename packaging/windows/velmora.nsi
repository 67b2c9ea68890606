; The Windows setup program, velmora-setup-x64.exe. scripts/windows-setup builds it with
; makensis from the installed tree of a Windows build.
!include "config.nsh"
!include "general.nsh"
!include /CHARSET=UTF8 "lang-tr.nsh"
!include /CHARSET=UTF8 "lang-en.nsh"
!include "running-server.nsh"
!include "settings.nsh"
!include "installer.nsh"
!include "folders.nsh"
!include "uninstaller.nsh"
