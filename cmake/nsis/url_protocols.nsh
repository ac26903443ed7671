; The thunder://, flashget:// and qqdl:// links clicked anywhere, given to zentrova-open.exe
; under HKLM\Software\Classes, the classes root a per-machine install writes. Another program's
; registration (Thunder's own) is the person's choice and stays unless they choose otherwise:
; the options page checks a scheme only where no other program opens it, and silent installs
; take /ASSOCIATE=auto (the same), yes (all three) or no. What a registration replaces is saved,
; so that the uninstaller can put it back; the uninstaller touches a scheme only while it still
; opens with the command this installer wrote, since a program registered later is the person's
; newer choice.
; Included by the installer's template (cmake/WindowsInstaller.cmake), with ZENTROVA_SAVED
; defined as the key under HKLM where the replaced registrations are kept.

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define ZENTROVA_CLASSES "Software\Classes"

Var ZentrovaTake_thunder
Var ZentrovaTake_flashget
Var ZentrovaTake_qqdl

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

; Keeps the value VALUE of the scheme's key SUBKEY as NAME, where there is one.
!macro ZentrovaSave scheme subkey value name
  ClearErrors
  ReadRegStr $R4 HKLM "${ZENTROVA_CLASSES}\${scheme}${subkey}" "${value}"
  ${IfNot} ${Errors}
    WriteRegStr HKLM "${ZENTROVA_SAVED}\${scheme}" "${name}" $R4
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
      !insertmacro ZentrovaSave ${scheme} "" "" "Default"
      !insertmacro ZentrovaSave ${scheme} "" "URL Protocol" "URL Protocol"
      !insertmacro ZentrovaSave ${scheme} "\DefaultIcon" "" "DefaultIcon"
      !insertmacro ZentrovaSave ${scheme} "\shell\open\command" "" "Command"
    ${EndIf}
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

; In the uninstall: the scheme as it was before, where it still opens with this program.
!macro ZentrovaRestore scheme
  ReadRegStr $R1 HKLM "${ZENTROVA_CLASSES}\${scheme}\shell\open\command" ""
  ReadRegStr $R2 HKLM "${ZENTROVA_SAVED}\${scheme}" "Wrote"
  ${If} $R2 != ""
  ${AndIf} $R1 == $R2
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
