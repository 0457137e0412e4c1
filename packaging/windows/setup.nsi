; The setup program of the programmer for Windows: a per-user install without
; administrator rights. scripts/build-windows runs makensis with
;   -DVERSION=1.3.4 -DVERSION4=1.3.4.0 -DOUTFILE=... -DFILES=files.nsh
; where files.nsh, made from the package folder, defines the macros
; InstallFiles and UninstallFiles: every file by name, so that the uninstaller
; removes exactly what was installed and never a folder wholesale.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${FILES}"

!define PRODUCT "Программатор Varko-410"
!define COMPANY "Kelmarix"
!define PROGID "VeduVK410.cf8"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VeduVK410"
!define CLASSES "Software\Classes"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vedu VK410"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vedu VK410 ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1049 "ProductName" "Vedu VK410"
VIAddVersionKey /LANG=1049 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка программатора Varko-410"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© ${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Запустить программатор"
!define MUI_FINISHPAGE_RUN_FUNCTION RunProgrammer
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; A running program holds its file: it cannot be opened for writing.
!macro SetIfHeld file
  ${If} ${FileExists} "${file}"
    ClearErrors
    FileOpen $1 "${file}" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

; Leaves 1 on the stack while vedu-vk410.exe or vedu-vk410ctl.exe of $INSTDIR runs, else 0.
!macro IsRunning un
Function ${un}IsRunning
  Push $0
  Push $1
  StrCpy $0 0
  !insertmacro SetIfHeld "$INSTDIR\vedu-vk410.exe"
  !insertmacro SetIfHeld "$INSTDIR\vedu-vk410ctl.exe"
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro IsRunning ""
!insertmacro IsRunning "un."

Function RunProgrammer
  ; The Documents folder is where the first open and save dialogs start.
  SetOutPath "$DOCUMENTS"
  Exec '"$INSTDIR\vedu-vk410.exe"'
  SetOutPath "$INSTDIR"
FunctionEnd

Section "Программатор" SecMain
  SetShellVarContext current
  Call IsRunning
  Pop $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "Программатор Varko-410 запущен из папки $INSTDIR. Закройте его и повторите установку." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  !insertmacro InstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$DOCUMENTS"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\vedu-vk410.exe" "" "$INSTDIR\vedu-vk410.exe" 0 \
    SW_SHOWNORMAL "" "Чтение, правка и запись конфигурации приборов Varko-410"
  SetOutPath "$INSTDIR"

  WriteRegStr HKCU "${CLASSES}\.cf8" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\.cf8\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Конфигурация прибора Varko-410"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\vedu-vk410.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\vedu-vk410.exe" "%1"'

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vedu-vk410.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; SHCNE_ASSOCCHANGED: Explorer shows the new file type at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function un.onInit
  SetShellVarContext current
  Call un.IsRunning
  Pop $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "Программатор Varko-410 сейчас работает. Закройте его и повторите удаление." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; The settings (HKCU\Software\Kelmarix) and the journal (%LOCALAPPDATA%\Kelmarix)
; are the user's and stay.
Section "Uninstall"
  SetShellVarContext current
  Delete "${SHORTCUT}"

  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegValue HKCU "${CLASSES}\.cf8\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.cf8\OpenWithProgids"
  ReadRegStr $0 HKCU "${CLASSES}\.cf8" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.cf8" ""
  ${EndIf}
  DeleteRegKey /ifempty HKCU "${CLASSES}\.cf8"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  !insertmacro UninstallFiles
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
