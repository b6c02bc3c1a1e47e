; The setup program touches only its own files: the folder page accepts any
; folder, so the folder may hold the user's files, and a user adds and
; changes files in it afterwards (the list, pictures, notes).
;
; Every file an install writes is recorded in prizedraw-installed.ini with
; its size and SHA-256, keyed by its path in the folder. The uninstaller
; removes a file only while it still has that size and hash; anything else
; stays, and the uninstaller says so. The record is a UTF-16 INI file:
; Windows then keeps its keys in UTF-16, so Chinese picture names survive.
;
; Three kinds of file (the lists come from installed_files.nsh, made by CMake):
;  - programs, replaced by every install (a file of that name is this program);
;  - documents, under names of this program's own, written where no file of
;    that name is or over the copy an earlier install wrote and nobody changed;
;  - the bundled list and pictures, which belong to the user once installed:
;    written only where no file of that name is and none was ever recorded
;    (a bundled file the user deleted is not brought back).

!include "LogicLib.nsh"

!define OWN_RECORD "prizedraw-installed.ini"
; The files the uninstaller left because they were changed, for its message.
Var OwnKept

!macro OwnStampFunction UN
; Pops a path; pushes "SIZE SHA256" of that file, or "" when it cannot be read.
Function ${UN}OwnStamp
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  StrCpy $7 ""
  StrCpy $6 0
  ; GENERIC_READ, shared with every other use, OPEN_EXISTING
  System::Call 'kernel32::CreateFileW(w r0, i 0x80000000, i 7, p 0, i 3, i 0, p 0) p .r1'
  ${If} $1 P<> -1
    ; PROV_RSA_AES, CRYPT_VERIFYCONTEXT
    System::Call 'advapi32::CryptAcquireContextW(*p .r2, p 0, p 0, i 24, i 0xF0000000) i .r8'
    ${If} $8 <> 0
      ; CALG_SHA_256
      System::Call 'advapi32::CryptCreateHash(p r2, i 0x800C, p 0, i 0, *p .r3) i .r8'
      ${If} $8 <> 0
        System::Alloc 1048576
        Pop $4
        ${Do}
          System::Call 'kernel32::ReadFile(p r1, p r4, i 1048576, *i .r5, p 0) i .r8'
          ${If} $8 = 0
            StrCpy $6 -1
            ${Break}
          ${EndIf}
          ${If} $5 = 0
            ${Break}
          ${EndIf}
          System::Call 'advapi32::CryptHashData(p r3, p r4, i r5, i 0) i .r8'
          ${If} $8 = 0
            StrCpy $6 -1
            ${Break}
          ${EndIf}
          IntOp $6 $6 + $5
        ${Loop}
        ; HP_HASHVAL
        ${If} $6 >= 0
          System::Call 'advapi32::CryptGetHashParam(p r3, i 2, p r4, *i 32, i 0) i .r8'
          ${If} $8 <> 0
            ; CRYPT_STRING_HEXRAW | CRYPT_STRING_NOCRLF: 64 hex digits
            System::Call 'crypt32::CryptBinaryToStringW(p r4, i 32, i 0x4000000C, w .r5, *i 65) i .r8'
            ${If} $8 <> 0
              StrCpy $7 "$6 $5"
            ${EndIf}
          ${EndIf}
        ${EndIf}
        System::Free $4
        System::Call 'advapi32::CryptDestroyHash(p r3)'
      ${EndIf}
      System::Call 'advapi32::CryptReleaseContext(p r2, i 0)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 $7
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro OwnStampFunction ""
!insertmacro OwnStampFunction "un."

; OUT: the stamp of the file at PATH ("" when it cannot be read).
!macro OwnStampOf UN PATH OUT
  Push "${PATH}"
  Call ${UN}OwnStamp
  Pop ${OUT}
!macroend

; OUT: what the record says of RELPATH, "" when nothing.
!macro OwnRecordOf RELPATH OUT
  ClearErrors
  ReadINIStr ${OUT} "$INSTDIR\${OWN_RECORD}" files "${RELPATH}"
!macroend

; The record, started in UTF-16 so that Windows keeps it so.
!macro OwnRecordBegin
  CreateDirectory "$INSTDIR"
  ${IfNot} ${FileExists} "$INSTDIR\${OWN_RECORD}"
    FileOpen $0 "$INSTDIR\${OWN_RECORD}" w
    FileWriteUTF16LE /BOM $0 "; The files the setup program of Prize Draw installed here: the uninstaller removes only these, and only while unchanged.$\r$\n[files]$\r$\n"
    FileClose $0
  ${EndIf}
  SetFileAttributes "$INSTDIR\${OWN_RECORD}" HIDDEN
!macroend

!macro RecordOwn RELPATH
  !insertmacro OwnStampOf "" "$INSTDIR\${RELPATH}" $0
  WriteINIStr "$INSTDIR\${OWN_RECORD}" files "${RELPATH}" "$0"
!macroend

!macro InstallProgram SOURCE RELPATH
  SetOutPath "$INSTDIR"
  File "/oname=${RELPATH}" "${SOURCE}"
  !insertmacro RecordOwn "${RELPATH}"
!macroend

!macro InstallDocument SOURCE RELPATH
  StrCpy $3 1
  ${If} ${FileExists} "$INSTDIR\${RELPATH}"
    !insertmacro OwnRecordOf "${RELPATH}" $1
    !insertmacro OwnStampOf "" "$INSTDIR\${RELPATH}" $2
    ${If} $1 == ""
    ${OrIf} $2 != $1
      StrCpy $3 0
    ${EndIf}
  ${EndIf}
  ${If} $3 = 1
    SetOutPath "$INSTDIR"
    File "/oname=${RELPATH}" "${SOURCE}"
    !insertmacro RecordOwn "${RELPATH}"
  ${Else}
    DetailPrint "$(OwnNotReplaced)${RELPATH}"
  ${EndIf}
!macroend

!macro InstallBundled SOURCE RELPATH
  !insertmacro OwnRecordOf "${RELPATH}" $1
  ${IfNot} ${FileExists} "$INSTDIR\${RELPATH}"
  ${AndIf} $1 == ""
    SetOutPath "$INSTDIR"
    File "/oname=${RELPATH}" "${SOURCE}"
    !insertmacro RecordOwn "${RELPATH}"
  ${EndIf}
!macroend

; Setup programs before this record kept theirs of the bundled files in
; bundled.ini: by number (data.ini 1, then the pictures by name), with the
; size and modification time. A file still as recorded there is taken over as
; this install's own; one recorded there and gone was deleted by the user, and
; stays deleted.
!macro EarlierBundledStamp PATH OUT
  StrCpy ${OUT} ""
  ClearErrors
  GetFileTime "${PATH}" $5 $6
  FileOpen $7 "${PATH}" r
  ${IfNot} ${Errors}
    FileSeek $7 0 END $8
    FileClose $7
    StrCpy ${OUT} "$8 $5 $6"
  ${EndIf}
!macroend

!macro AdoptEarlierBundled RELPATH INDEX
  ClearErrors
  ReadINIStr $1 "$INSTDIR\bundled.ini" files "${INDEX}"
  !insertmacro OwnRecordOf "${RELPATH}" $2
  ${If} $1 != ""
  ${AndIf} $2 == ""
    ${If} ${FileExists} "$INSTDIR\${RELPATH}"
      !insertmacro EarlierBundledStamp "$INSTDIR\${RELPATH}" $3
      ${If} $3 == $1
        !insertmacro RecordOwn "${RELPATH}"
      ${EndIf}
    ${Else}
      WriteINIStr "$INSTDIR\${OWN_RECORD}" files "${RELPATH}" "deleted"
    ${EndIf}
  ${EndIf}
!macroend

; A document an earlier setup program put here under a plain name
; (README.txt, LICENSE.txt), removed only while it is byte for byte one that
; such a program installed.
!macro RemoveEarlierDocument RELPATH STAMP
  ${If} ${FileExists} "$INSTDIR\${RELPATH}"
    !insertmacro OwnStampOf "" "$INSTDIR\${RELPATH}" $1
    ${If} $1 == "${STAMP}"
      Delete "$INSTDIR\${RELPATH}"
      DetailPrint "$(OwnEarlierRemoved)${RELPATH}"
    ${EndIf}
  ${EndIf}
!macroend

!macro RemoveOwn RELPATH
  !insertmacro OwnRecordOf "${RELPATH}" $1
  ${If} $1 != ""
  ${AndIf} ${FileExists} "$INSTDIR\${RELPATH}"
    !insertmacro OwnStampOf "un." "$INSTDIR\${RELPATH}" $2
    ${If} $2 == $1
      Delete "$INSTDIR\${RELPATH}"
    ${Else}
      DetailPrint "$(OwnKeptChanged)${RELPATH}"
      StrCpy $OwnKept "$OwnKept$\r$\n    ${RELPATH}"
    ${EndIf}
  ${EndIf}
!macroend

; After the removal: a folder still there holds the user's files; say which
; recorded ones were kept because they changed.
!macro OwnSayWhatStays
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "$(OwnFolderKept)"
    ${If} $OwnKept != ""
      MessageBox MB_OK|MB_ICONINFORMATION "$(OwnFolderKept)$\r$\n$\r$\n$(OwnChangedKept)$OwnKept" /SD IDOK
    ${Else}
      MessageBox MB_OK|MB_ICONINFORMATION "$(OwnFolderKept)" /SD IDOK
    ${EndIf}
  ${EndIf}
!macroend
