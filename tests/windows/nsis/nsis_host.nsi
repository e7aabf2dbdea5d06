; An installer that uses Quorvel.dll through quorvel.nsh alone, as an
; installer author would: it writes what each macro gave into the file named
; by /out=, a line "what<TAB>text" each, then shows the three boxes. Built by
; the build for each NSIS target that runs beside the module:
;   makensis -DMODULE=Quorvel.dll -DTARGET=amd64-unicode -DOUTFILE=x.exe nsis_host.nsi
Target ${TARGET}
!include "quorvel.nsh"
!include "FileFunc.nsh"

OutFile "${OUTFILE}"
SilentInstall silent
RequestExecutionLevel user

Var results

!ifdef NSIS_UNICODE
    !define WriteLine "FileWriteUTF16LE $results"
!else
    !define WriteLine "FileWrite $results"
!endif

!macro WriteErrorFlag WHAT
    ${If} ${Errors}
        ${WriteLine} "${WHAT}$\terror flag set, [$0]$\r$\n"
    ${Else}
        ${WriteLine} "${WHAT}$\terror flag clear, [$0]$\r$\n"
    ${EndIf}
!macroend

; Every ID of the catalogue's ranges, with a neighbour or two outside them
; and one far from any.
!macro WriteStrings FIRST LAST
    StrCpy $1 ${FIRST}
    ${Do}
        ${QuorvelGetString} $1 $0
        ${WriteLine} "string $1$\t$0$\r$\n"
        IntOp $1 $1 + 1
    ${LoopUntil} $1 > ${LAST}
!macroend

Section
    ${GetParameters} $0
    ${GetOptions} $0 "/out=" $2
    FileOpen $results $2 w
    InitPluginsDir
    File "/oname=$PLUGINSDIR\Quorvel.dll" "${MODULE}"

    !insertmacro WriteStrings 0 38
    !insertmacro WriteStrings 100 119
    !insertmacro WriteStrings 500 500
    !insertmacro WriteStrings 1000 1006
    !insertmacro WriteStrings 20000 20012
    ${QuorvelGetDynamicString} 9 1002 $0
    ${WriteLine} "dynamic 9 1002$\t$0$\r$\n"
    ${QuorvelGetDynamicString} 18 1002 $0
    ${WriteLine} "dynamic 18 1002$\t$0$\r$\n"
    ; The registers other than the output are kept.
    StrCpy $3 "kept"
    ${QuorvelGetString} 9 $0
    ${WriteLine} "registers$\t$1 $3$\r$\n"

    ${QuorvelMessageBox} 2
    ${QuorvelDynamicMessageBox} 9 1002
    ${QuorvelMessageBoxWithSuppliedSubString} 35 1005 "C:\DRIVERS\MODEM.INF"

    ; A module that lacks the export, then no module at all.
    !define QUORVEL_DLL "$SYSDIR\kernel32.dll"
    ${QuorvelGetString} 9 $0
    !insertmacro WriteErrorFlag "no export"
    !undef QUORVEL_DLL
    !define QUORVEL_DLL "$PLUGINSDIR\Quorvel.dll"
    Delete "$PLUGINSDIR\Quorvel.dll"
    ${QuorvelGetString} 9 $0
    !insertmacro WriteErrorFlag "no module"
    ${QuorvelGetDynamicString} 9 1002 $0
    !insertmacro WriteErrorFlag "no module, dynamic"
    ${QuorvelMessageBox} 2
    !insertmacro WriteErrorFlag "no module, box"
    ; By default, the module beside the installer once $PLUGINSDIR has none.
    !undef QUORVEL_DLL
    ${QuorvelGetString} 9 $0
    ${WriteLine} "beside the installer$\t$0$\r$\n"
    FileClose $results
SectionEnd
