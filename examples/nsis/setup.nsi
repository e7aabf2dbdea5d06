; A small installer that uses Quorvel.dll through the kit's quorvel.nsh: its
; page shows the module's texts in the user's language, and a box the
; module's own. Build it for any NSIS 3 target with the kit's include folder:
;
;   makensis -X"Target amd64-unicode" -X"!addincludedir /opt/quorvel/include" \
;            -DQUORVEL_MODULE=/opt/quorvel/bin/Quorvel.dll setup.nsi
;
; and run setup.exe (or setup.exe /S for no page, only the box).
!include "quorvel.nsh"

!ifndef QUORVEL_MODULE
    !define QUORVEL_MODULE "Quorvel.dll"
!endif
!ifndef OUTFILE
    !define OUTFILE "setup.exe"
!endif

Name "Quorvel example"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ShowInstDetails show
Page instfiles

Section
    ; The module travels inside the installer and is loaded from $PLUGINSDIR.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\Quorvel.dll" "${QUORVEL_MODULE}"

    ${QuorvelGetString} 20005 $0
    DetailPrint "20005: $0"
    ; The provider's name comes from the registry; without one, the default.
    ${QuorvelGetDynamicString} 9 1002 $0
    DetailPrint "9 with 1002: $0"
    ${QuorvelGetString} 500 $0
    ${If} ${Errors}
        DetailPrint "Quorvel.dll could not be loaded"
    ${ElseIf} $0 == ""
        DetailPrint "500: not in the catalogue"
    ${EndIf}

    ${QuorvelMessageBoxWithSuppliedSubString} 35 1005 "$EXEDIR\modem.inf"
SectionEnd
