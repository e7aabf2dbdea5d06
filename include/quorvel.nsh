; quorvel.nsh: Quorvel.dll for NSIS 3 scripts (x86-ansi, x86-unicode and
; amd64-unicode targets), through NSIS's own System plug-in.
;
;   !include "quorvel.nsh"
;   ${QuorvelGetString} ID $out
;   ${QuorvelGetDynamicString} MESSAGE_ID TOKEN_ID $out
;   ${QuorvelMessageBox} ID
;   ${QuorvelDynamicMessageBox} MESSAGE_ID TOKEN_ID
;   ${QuorvelMessageBoxWithSuppliedSubString} MESSAGE_ID TOKEN_ID TEXT
;
; Where the module is loaded from: by default $PLUGINSDIR\Quorvel.dll, where
; an installer extracts it (InitPluginsDir, then
; File "/oname=$PLUGINSDIR\Quorvel.dll" Quorvel.dll), and when that cannot be
; loaded, $EXEDIR\Quorvel.dll, beside the installer. To load it from one place
; only, define QUORVEL_DLL before the !include, for example
;   !define QUORVEL_DLL "$EXEDIR\Quorvel.dll"
; Each macro loads the module, makes its one call and frees the module again,
; so $PLUGINSDIR can be deleted at any time.
;
; Texts arrive in $out as NSIS strings: as the module serves them in ANSI
; installers, converted from the system's ANSI code page in Unicode ones (and
; TEXT is converted to that code page on its way in). A text longer than
; NSIS_MAX_STRLEN - 1 characters is cut there.
;
; Each macro clears the error flag first. When the module or the export cannot
; be found, it sets the flag, leaves $out empty and shows no box. Registers
; other than $out are kept.
;
; Why the calls go through GetProcAddress: five of the exports have decorated
; names, and a "?" in System::Call starts its options, so "Quorvel::?DllGet..."
; would silently call nothing. The exports use the C calling convention, which
; System calls with "?c" (on i686 stdcall would corrupt the stack).

!ifndef QUORVEL_NSH_INCLUDED
!define QUORVEL_NSH_INCLUDED

!include LogicLib.nsh

!if ${NSIS_PTR_SIZE} > 4
    !define _QUORVEL_CHAR_POINTER PEAD
!else
    !define _QUORVEL_CHAR_POINTER PAD
!endif
!define _QUORVEL_DllGetString "?DllGetString@@YAKI${_QUORVEL_CHAR_POINTER}K@Z"
!define _QUORVEL_DllGetDynamicString "?DllGetDynamicString@@YAKI${_QUORVEL_CHAR_POINTER}KI@Z"
!define _QUORVEL_DllMessageBox "?DllMessageBox@@YAXI@Z"
!define _QUORVEL_DllDynamicMessageBox "?DllDynamicMessageBox@@YAXII@Z"
!define _QUORVEL_DllMessageBoxWithSuppliedSubString "?DllMessageBoxWithSuppliedSubString@@YAXII${_QUORVEL_CHAR_POINTER}@Z"

; Below, $0 is the module, $1 the export's address, $7 to $9 the arguments
; and $5 the text; System::Store keeps the caller's registers meanwhile.

; $0 and $1 from EXPORT; both 0 when not found.
!macro _QuorvelOpen EXPORT
    ClearErrors
    StrCpy $0 0
    StrCpy $1 0
    StrCpy $5 ""
    !ifdef QUORVEL_DLL
        System::Call 'kernel32::LoadLibrary(t "${QUORVEL_DLL}") p.r0'
    !else
        ${If} "$PLUGINSDIR" != ""
            System::Call 'kernel32::LoadLibrary(t "$PLUGINSDIR\Quorvel.dll") p.r0'
        ${EndIf}
        ${If} $0 P= 0
            System::Call 'kernel32::LoadLibrary(t "$EXEDIR\Quorvel.dll") p.r0'
        ${EndIf}
    !endif
    ${If} $0 P<> 0
        System::Call 'kernel32::GetProcAddress(p r0, m "${EXPORT}") p.r1'
    ${EndIf}
    ${If} $1 P= 0
        SetErrors
    ${EndIf}
!macroend

!macro _QuorvelClose
    ${If} $0 P<> 0
        System::Call 'kernel32::FreeLibrary(p r0)'
    ${EndIf}
!macroend

; The size query, then the fill into a block of that size (a too small one
; receives nothing, so a text that grew between the calls reads as empty).
; ARGUMENTS_BEFORE and ARGUMENTS_AFTER are the call's arguments around the
; buffer and its size.
!macro _QuorvelFetchText ARGUMENTS_BEFORE ARGUMENTS_AFTER
    ${If} $1 P<> 0
        System::Call '::$1(${ARGUMENTS_BEFORE}, p 0, i 0${ARGUMENTS_AFTER}) i.r2 ?c'
        ${If} $2 < ${NSIS_MAX_STRLEN}
            StrCpy $3 ${NSIS_MAX_STRLEN}
        ${Else}
            StrCpy $3 $2
        ${EndIf}
        System::Alloc $3
        Pop $4
        ${If} $4 P<> 0
            System::Call '::$1(${ARGUMENTS_BEFORE}, p r4, i r2${ARGUMENTS_AFTER}) ?c'
            ; Cut what NSIS cannot hold; the block is zero-filled.
            System::Call '*$4(&m${NSIS_MAX_STRLEN} .r5)'
            System::Free $4
        ${EndIf}
    ${EndIf}
!macroend

!macro QuorvelGetString ID OUT
    Push "${ID}"
    System::Store "s"
    Pop $9
    !insertmacro _QuorvelOpen "${_QUORVEL_DllGetString}"
    !insertmacro _QuorvelFetchText "i r9" ""
    !insertmacro _QuorvelClose
    Push $5
    System::Store "l"
    Pop ${OUT}
!macroend
!define QuorvelGetString "!insertmacro QuorvelGetString"

!macro QuorvelGetDynamicString MESSAGE_ID TOKEN_ID OUT
    Push "${MESSAGE_ID}"
    Push "${TOKEN_ID}"
    System::Store "s"
    Pop $8
    Pop $9
    !insertmacro _QuorvelOpen "${_QUORVEL_DllGetDynamicString}"
    !insertmacro _QuorvelFetchText "i r9" ", i r8"
    !insertmacro _QuorvelClose
    Push $5
    System::Store "l"
    Pop ${OUT}
!macroend
!define QuorvelGetDynamicString "!insertmacro QuorvelGetDynamicString"

!macro QuorvelMessageBox ID
    Push "${ID}"
    System::Store "s"
    Pop $9
    !insertmacro _QuorvelOpen "${_QUORVEL_DllMessageBox}"
    ${If} $1 P<> 0
        System::Call '::$1(i r9) ?c'
    ${EndIf}
    !insertmacro _QuorvelClose
    System::Store "l"
!macroend
!define QuorvelMessageBox "!insertmacro QuorvelMessageBox"

!macro QuorvelDynamicMessageBox MESSAGE_ID TOKEN_ID
    Push "${MESSAGE_ID}"
    Push "${TOKEN_ID}"
    System::Store "s"
    Pop $8
    Pop $9
    !insertmacro _QuorvelOpen "${_QUORVEL_DllDynamicMessageBox}"
    ${If} $1 P<> 0
        System::Call '::$1(i r9, i r8) ?c'
    ${EndIf}
    !insertmacro _QuorvelClose
    System::Store "l"
!macroend
!define QuorvelDynamicMessageBox "!insertmacro QuorvelDynamicMessageBox"

!macro QuorvelMessageBoxWithSuppliedSubString MESSAGE_ID TOKEN_ID TEXT
    Push "${MESSAGE_ID}"
    Push "${TOKEN_ID}"
    Push "${TEXT}"
    System::Store "s"
    Pop $7
    Pop $8
    Pop $9
    !insertmacro _QuorvelOpen "${_QUORVEL_DllMessageBoxWithSuppliedSubString}"
    ${If} $1 P<> 0
        System::Call '::$1(i r9, i r8, m r7) ?c'
    ${EndIf}
    !insertmacro _QuorvelClose
    System::Store "l"
!macroend
!define QuorvelMessageBoxWithSuppliedSubString "!insertmacro QuorvelMessageBoxWithSuppliedSubString"

!endif
