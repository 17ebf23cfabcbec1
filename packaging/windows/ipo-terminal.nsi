; The Windows installer of the IPO terminal, made by makensis with these defines:
;   VERSION, OUT_FILE, TERMINAL (ipo-terminal.exe), FRAMEWORK_CORE and FRAMEWORK_WIN32 (the
;   framework DLLs), PLUGIN (QuorIPO64.dll), COMPANION (Corvexdll64.dll, when built) and TERMS
;   (the sample terms file).
; The installed tree is the Linux package's: bin (the terminal and the framework DLLs it
; imports), lib\ipo-terminal (the plug-in and the companion), share\ipo-terminal (data), so the
; terminal finds everything as it does there. The compiler's runtime is linked into each binary.
; A 64-bit installer, like the terminal it carries.
Target amd64-unicode
SetCompressor /SOLID lzma
Name "IPO Terminal"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\IPO Terminal"
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\IPO Terminal"
!define MENU_FOLDER "$SMPROGRAMS\IPO Terminal"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "IPO Terminal"
  SetOutPath "$INSTDIR\bin"
  File "${TERMINAL}"
  File "${FRAMEWORK_CORE}"
  File "${FRAMEWORK_WIN32}"
  SetOutPath "$INSTDIR\lib\ipo-terminal"
  File "${PLUGIN}"
!ifdef COMPANION
  File "${COMPANION}"
!endif
  SetOutPath "$INSTDIR\share\ipo-terminal"
  File "${TERMS}"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\IPO Terminal.lnk" "$INSTDIR\bin\ipo-terminal.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "IPO Terminal"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\ipo-terminal.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: a user's working folder (orders
; exported, settings) stays in the user's profile.
Section "Uninstall"
  Delete "$INSTDIR\bin\ipo-terminal.exe"
  Delete "$INSTDIR\bin\libipofw.dll"
  Delete "$INSTDIR\bin\libipofw_win32.dll"
  Delete "$INSTDIR\lib\ipo-terminal\QuorIPO64.dll"
  Delete "$INSTDIR\lib\ipo-terminal\Corvexdll64.dll"
  Delete "$INSTDIR\share\ipo-terminal\IPOTermsAndConditions.html"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\bin"
  RMDir "$INSTDIR\lib\ipo-terminal"
  RMDir "$INSTDIR\lib"
  RMDir "$INSTDIR\share\ipo-terminal"
  RMDir "$INSTDIR\share"
  RMDir "$INSTDIR"
  Delete "${MENU_FOLDER}\IPO Terminal.lnk"
  RMDir "${MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
