; The thunder://, flashget:// and qqdl:// links clicked anywhere, given to zentrova-open.exe
; under HKLM\Software\Classes, the classes root a per-machine install writes. Another program's
; registration (Thunder's own) is the person's choice and stays unless they choose otherwise:
; the options page checks a scheme only where no other program opens it, and silent installs
; take /ASSOCIATE=auto (the same), yes (all three) or no. What a registration replaces is saved,
; so that the uninstaller can put it back; the uninstaller touches a scheme only while it still
; opens with the command this installer wrote, since a program registered later is the person's
; newer choice. The replaced key is kept whole, by the system's reg.exe (NSIS's own registry
; commands know neither REG_EXPAND_SZ nor values over 1,023 characters), and a scheme is taken
; only once its key is kept: values the other program left (a DelegateExecute, which Windows
; would run instead of this command) go with it and come back with it.
; Included by the installer's template (cmake/WindowsInstaller.cmake), with ZENTROVA_SAVED
; defined as the key under HKLM where the replaced registrations are kept.

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define ZENTROVA_CLASSES "Software\Classes"

Var ZentrovaTake_thunder
Var ZentrovaTake_flashget
Var ZentrovaTake_qqdl
Var ZentrovaKept_thunder
Var ZentrovaKept_flashget
Var ZentrovaKept_qqdl

; Sets $ZentrovaTake_<scheme> to 1 or 0 for the switch's answer in $R0.
!macro ZentrovaChoose scheme
  ${If} $R0 == "yes"
    StrCpy $ZentrovaTake_${scheme} 1
  ${ElseIf} $R0 == "no"
    StrCpy $ZentrovaTake_${scheme} 0
  ${Else}
    ; What the system opens the scheme with (the person's own registration included), and
    ; what an earlier install of this program wrote.
    ReadRegStr $R1 HKCR "${scheme}\shell\open\command" ""
    ReadRegStr $R2 HKLM "${ZENTROVA_SAVED}\${scheme}" "Wrote"
    ${If} $R1 == ""
    ${OrIf} $R1 == $R2
      StrCpy $ZentrovaTake_${scheme} 1
    ${Else}
      StrCpy $ZentrovaTake_${scheme} 0
    ${EndIf}
  ${EndIf}
!macroend

; Before the options page is written: which schemes its check boxes start with.
Function ZentrovaChooseSchemes
  ClearErrors
  ${GetOptions} $CMDLINE "/ASSOCIATE=" $R0
  ${If} ${Errors}
    StrCpy $R0 "auto"
  ${EndIf}
  ${If} $R0 != "auto"
  ${AndIf} $R0 != "yes"
  ${AndIf} $R0 != "no"
    ; A mistyped switch must not quietly take (or leave) another program's links.
    MessageBox MB_OK|MB_ICONSTOP "/ASSOCIATE= 只能是 auto、yes 或 no，而不是“$R0”。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  !insertmacro ZentrovaChoose thunder
  !insertmacro ZentrovaChoose flashget
  !insertmacro ZentrovaChoose qqdl
FunctionEnd

; Runs reg.exe with ARGUMENTS, hidden; $R4 is its status ("error" where it cannot be started).
!macro ZentrovaReg arguments
  nsExec::Exec '"$SYSDIR\reg.exe" ${arguments}'
  Pop $R4
!macroend

; Keeps the scheme's key, where there is one, whole under the saved key's "Key" and clears it
; for this program's; $R0 is 0 where it could not be kept, and the scheme is then left alone.
!macro ZentrovaKeep scheme
  ClearErrors
  EnumRegKey $R4 HKLM "${ZENTROVA_CLASSES}\${scheme}" 0
  ${IfNot} ${Errors}
    !insertmacro ZentrovaReg 'copy "HKLM\${ZENTROVA_CLASSES}\${scheme}" "HKLM\${ZENTROVA_SAVED}\${scheme}\Key" /s /f'
    ${If} $R4 == 0
      DeleteRegKey HKLM "${ZENTROVA_CLASSES}\${scheme}"
    ${Else}
      DeleteRegKey HKLM "${ZENTROVA_SAVED}\${scheme}"
      StrCpy $R0 0
      DetailPrint "reg.exe copy: $R4"
      MessageBox MB_OK|MB_ICONEXCLAMATION "无法保存 ${scheme}:// 原有的注册（reg.exe：$R4），因此 ${scheme}:// 仍由原来的程序打开。" /SD IDOK
    ${EndIf}
  ${EndIf}
!macroend

; In the install: the scheme given to zentrova-open.exe where the page's check box FIELD is set.
!macro ZentrovaRegister scheme field
  !insertmacro MUI_INSTALLOPTIONS_READ $R0 "NSIS.InstallOptions.ini" "Field ${field}" "State"
  ${If} $R0 == 1
    ReadRegStr $R1 HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open\command" ""
    ReadRegStr $R2 HKLM "${ZENTROVA_SAVED}\${scheme}" "Wrote"
    ; What is there now is not this program's (an install over an earlier one keeps what the
    ; earlier one saved).
    ${If} $R2 == ""
    ${OrIf} $R1 != $R2
      DeleteRegKey HKLM "${ZENTROVA_SAVED}\${scheme}"
      !insertmacro ZentrovaKeep ${scheme}
    ${EndIf}
  ${EndIf}
  ${If} $R0 == 1
    StrCpy $R3 '"$INSTDIR\zentrova-open.exe" "%1"'
    WriteRegStr HKLM "${ZENTROVA_CLASSES}\${scheme}" "" "URL:${scheme} Protocol"
    WriteRegStr HKLM "${ZENTROVA_CLASSES}\${scheme}" "URL Protocol" ""
    WriteRegStr HKLM "${ZENTROVA_CLASSES}\${scheme}\DefaultIcon" "" "$INSTDIR\Zentrova.exe,0"
    WriteRegStr HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open\command" "" $R3
    WriteRegStr HKLM "${ZENTROVA_SAVED}\${scheme}" "Wrote" $R3
  ${EndIf}
!macroend

; Puts back the value VALUE of the scheme's key SUBKEY as it was saved as NAME, or removes it
; where there was none.
!macro ZentrovaPutBack scheme subkey value name
  ClearErrors
  ReadRegStr $R4 HKLM "${ZENTROVA_SAVED}\${scheme}" "${name}"
  ${If} ${Errors}
    DeleteRegValue HKLM "${ZENTROVA_CLASSES}\${scheme}${subkey}" "${value}"
  ${Else}
    WriteRegStr HKLM "${ZENTROVA_CLASSES}\${scheme}${subkey}" "${value}" $R4
  ${EndIf}
!macroend

; In the uninstall, before anything is removed: $ZentrovaKept_<scheme> is 1 where the scheme's
; key was kept whole and is to be put back (it still opens with this program, or with nothing,
; as after an uninstall that stopped below); where reg.exe, which puts it back, does not run,
; the uninstall stops with nothing changed.
!macro ZentrovaCanRestore scheme
  StrCpy $ZentrovaKept_${scheme} 0
  ReadRegStr $R1 HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open\command" ""
  ReadRegStr $R2 HKLM "${ZENTROVA_SAVED}\${scheme}" "Wrote"
  ClearErrors
  EnumRegKey $R4 HKLM "${ZENTROVA_SAVED}\${scheme}\Key" 0
  ${IfNot} ${Errors}
  ${AndIf} $R2 != ""
  ${If} $R1 == $R2
  ${OrIf} $R1 == ""
    StrCpy $ZentrovaKept_${scheme} 1
    !insertmacro ZentrovaReg 'query "HKLM\${ZENTROVA_SAVED}\${scheme}\Key"'
    ${If} $R4 != 0
      MessageBox MB_OK|MB_ICONSTOP "无法恢复 ${scheme}:// 原有的注册（reg.exe：$R4）。卸载已停止，未做任何更改。" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
  ${EndIf}
!macroend

; In the uninstall: the scheme as it was before, where it still opens with this program.
!macro ZentrovaRestore scheme
  ReadRegStr $R1 HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open\command" ""
  ReadRegStr $R2 HKLM "${ZENTROVA_SAVED}\${scheme}" "Wrote"
  ${If} $ZentrovaKept_${scheme} == 1
    DeleteRegKey HKLM "${ZENTROVA_CLASSES}\${scheme}"
    !insertmacro ZentrovaReg 'copy "HKLM\${ZENTROVA_SAVED}\${scheme}\Key" "HKLM\${ZENTROVA_CLASSES}\${scheme}" /s /f'
    ${If} $R4 != 0
      ; The kept key is still there; stopping here keeps it, and the uninstaller, for another try.
      MessageBox MB_OK|MB_ICONSTOP "无法恢复 ${scheme}:// 原有的注册（reg.exe：$R4）。卸载已停止，原有的注册仍保存在 HKLM\${ZENTROVA_SAVED}\${scheme}\Key。" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${ElseIf} $R2 != ""
  ${AndIf} $R1 == $R2
    ; Nothing was kept whole: there was no key, or an earlier install kept its values one by one.
    !insertmacro ZentrovaPutBack ${scheme} "\shell\open\command" "" "Command"
    !insertmacro ZentrovaPutBack ${scheme} "\DefaultIcon" "" "DefaultIcon"
    !insertmacro ZentrovaPutBack ${scheme} "" "URL Protocol" "URL Protocol"
    !insertmacro ZentrovaPutBack ${scheme} "" "" "Default"
    DeleteRegKey /ifempty HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open\command"
    DeleteRegKey /ifempty HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open"
    DeleteRegKey /ifempty HKLM "${ZENTROVA_CLASSES}\${scheme}\shell"
    DeleteRegKey /ifempty HKLM "${ZENTROVA_CLASSES}\${scheme}\DefaultIcon"
    DeleteRegKey /ifempty HKLM "${ZENTROVA_CLASSES}\${scheme}"
  ${EndIf}
  DeleteRegKey HKLM "${ZENTROVA_SAVED}\${scheme}"
!macroend
