; Per-user installer for both builds: the x86-64 build on 64-bit Windows, the 32-bit build
; elsewhere. It installs into the user's own program folder, so that the settings file beside
; the program stays writable without administrator rights.
Unicode true
RequestExecutionLevel user
!include "LogicLib.nsh"
!include "x64.nsh"
!define NAME "Zerenta"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
SetCompressor /SOLID lzma

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro InstallBuild SRC
  File "${SRC}\Zerenta.exe"
  File "${SRC}\OrvelCore.dll"
  File "${SRC}\Gorvane.dll"
  File "${SRC}\Tessik.dll"
  File "${SRC}\readme.txt"
  File "${SRC}\LICENSE.txt"
!macroend

Section "Zerenta"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    !insertmacro InstallBuild "${SRC64}"
  ${Else}
    !insertmacro InstallBuild "${SRC32}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${NAME}"
  CreateShortcut "$SMPROGRAMS\${NAME}\${NAME}.lnk" "$INSTDIR\Zerenta.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}\Uninstall ${NAME}.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Zerenta.exe"
  Delete "$INSTDIR\OrvelCore.dll"
  Delete "$INSTDIR\Gorvane.dll"
  Delete "$INSTDIR\Tessik.dll"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only kept while a run had changed the screen; without the program it serves nothing.
  Delete "$INSTDIR\Zerenta.Recovery"
  ; "Start with Windows" for this copy, not a value that names another one.
  ReadRegStr $0 HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Zerenta"
  StrCmp $0 "$\"$INSTDIR\Zerenta.exe$\"" 0 +2
    DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Zerenta"
  ; The settings file is the user's: it stays unless the folder is otherwise empty.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${NAME}\${NAME}.lnk"
  Delete "$SMPROGRAMS\${NAME}\Uninstall ${NAME}.lnk"
  RMDir "$SMPROGRAMS\${NAME}"
  DeleteRegKey HKCU "${UNINSTKEY}"
SectionEnd
