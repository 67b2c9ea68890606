; Values scripts/windows-setup overrides with /D.
!define /ifndef VERSION "0.0.0"
!define /ifndef PUBLISHER "Velmora"
; The build's installed tree, as the zip has it.
!define /ifndef STAGE "stage"
!define /ifndef OUTFILE "velmora-setup-x64.exe"

!define UNINSTALLER "velmora-kaldir.exe"
; Beside the program: the folder of the restaurant's files, which the server reads at start.
!define INSTALLATION_INI "Kurulum.ini"
!define DEFAULT_DATA_DIR "C:\Velmora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define FIREWALL_RULE "Velmora durum sayfasi"
; The status page's port when Velmora.ini names none.
!define DEFAULT_PORT 8480
