; The Quedrino installer, in Brazilian Portuguese. Built by the Windows build:
;   makensis -INPUTCHARSET UTF8 -DCONFIG=quedrino-config.nsh quedrino.nsi
; It installs for every user of the computer, in Program Files, and so asks
; for an administrator: the Start-menu shortcut and the start at logon are
; every user's too (see the start section below), as the reminder file in
; c:\quedrino is. /S installs silently with the defaults; the uninstaller's
; /S removes silently.
; A 64-bit installer for a 64-bit program (and, as every amd64 target,
; Unicode): Program Files and the registry it sees are the program's own,
; not their 32-bit copies. 32-bit Windows refuses to start it, as it would
; the program.

Target amd64-unicode
!include "${CONFIG}"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinVer.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quedrino"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALLER "desinstalar.exe"

Name "Quedrino ${QUEDRINO_RELEASE}"
OutFile "${QUEDRINO_SETUP}"
InstallDir "$PROGRAMFILES64\Quedrino"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma

!define MUI_ICON "${QUEDRINO_ICON}"
!define MUI_UNICON "${QUEDRINO_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartQuedrino
!define MUI_UNCONFIRMPAGE_TEXT_TOP "O Quedrino será removido deste computador. Os lembretes, em c:\quedrino\quedrino.txt, ficam onde estão."

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

; The installer's version information. The uninstaller is written from the
; installer and carries the same, so it says nothing that only one of them is.
VIProductVersion "${QUEDRINO_VERSION}"
VIFileVersion "${QUEDRINO_VERSION}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "ProductName" "Quedrino"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "CompanyName" "${QUEDRINO_MAKER}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "FileDescription" "Instalação e remoção do Quedrino"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "FileVersion" "${QUEDRINO_RELEASE}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "ProductVersion" "${QUEDRINO_RELEASE}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "LegalCopyright" "© ${QUEDRINO_COPYRIGHT_YEAR} ${QUEDRINO_MAKER}"

; A running Quedrino holds its program file open. Its own --encerrar asks it
; to end (and does nothing when none runs); it answers before it has ended,
; so the file is tried for writing until the copy lets it go. A copy that
; does not answer (hung, or another user's, whom --encerrar does not reach)
; is left to the user; silent, the installer gives up.
!macro END_RUNNING_COPY un
Function ${un}EndRunningCopy
    IfFileExists "$INSTDIR\quedrino.exe" 0 done
    again:
    ExecWait '"$INSTDIR\quedrino.exe" --encerrar'
    StrCpy $R0 0
    try:
    ClearErrors
    FileOpen $R1 "$INSTDIR\quedrino.exe" a
    IfErrors 0 free
    IntOp $R0 $R0 + 1
    IntCmp $R0 40 busy ; ten seconds
    Sleep 250
    Goto try
    busy:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "O Quedrino continua aberto e não atendeu ao pedido para encerrar (talvez tenha sido aberto por outro usuário deste computador). Feche-o (Encerrar, no menu do ícone perto do relógio) e clique em Repetir." \
        /SD IDCANCEL IDRETRY again
    Abort "O Quedrino continua aberto."
    free:
    FileClose $R1
    done:
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

Function .onInit
    ${IfNot} ${AtLeastWin10}
        MessageBox MB_ICONSTOP "O Quedrino precisa do Windows 10 ou mais novo." /SD IDOK
        Abort
    ${EndIf}
    SetShellVarContext all
    ; Installed before: the same folder again, unless /D chose one.
    ${If} $INSTDIR == "$PROGRAMFILES64\Quedrino"
        ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        ${If} $R0 != ""
            StrCpy $INSTDIR $R0
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext all
FunctionEnd

; The installer runs as administrator: started straight from it, Quedrino
; would too. Explorer starts it as the user who is logged on.
Function StartQuedrino
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\quedrino.exe"'
FunctionEnd

Section "Quedrino" SectionProgram
    SectionIn RO
    Call EndRunningCopy
    !include "${QUEDRINO_FILES}/install-files.nsh"
    SetOutPath "$INSTDIR" ; the shortcuts' working folder
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\Quedrino.lnk" "$INSTDIR\quedrino.exe" "" "$INSTDIR\quedrino.exe" 0 \
        SW_SHOWNORMAL "" "Lembretes na área de notificação"
    ; The next section puts the start at logon back if it is chosen again.
    DeleteRegValue HKLM "${RUN_KEY}" "Quedrino"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quedrino"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quedrino.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${QUEDRINO_RELEASE}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${QUEDRINO_MAKER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${QUEDRINO_MAKER_URL}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${QUEDRINO_FILES_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The start at logon for every user, as the rest: installed by an
; administrator, the "current user" may be the one who typed the password,
; not the one who will use the program. A value under the machine's Run key
; rather than a shortcut in the common Startup folder: one exact command
; line, which Task Manager's and Settings' lists of startup programs show
; and switch off alike.
Section "Abrir o Quedrino ao entrar no Windows" SectionStartup
    WriteRegStr HKLM "${RUN_KEY}" "Quedrino" '"$INSTDIR\quedrino.exe"'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "O programa, com um atalho no menu Iniciar."
    !insertmacro MUI_DESCRIPTION_TEXT ${SectionStartup} \
        "Abre o Quedrino sempre que alguém entra no Windows, para que os avisos apareçam na hora marcada."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The program, its shortcuts and its entry in the list of programs; never
; c:\quedrino, where the reminders are.
Section "Uninstall"
    Call un.EndRunningCopy
    !include "${QUEDRINO_FILES}/uninstall-files.nsh"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Quedrino.lnk"
    DeleteRegValue HKLM "${RUN_KEY}" "Quedrino"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
