; The Windows installer, zandreth-setup.exe, built with NSIS (makensis) by
; packaging/windows/CMakeLists.txt, which defines VERSION, SCR (the built
; zandreth.scr), INI (the shipped zandreth.ini), NOTE (README.txt), LICENSE,
; UNICODE_LICENSE and OUTFILE.
;
; It installs for the current user alone, without administrator rights, into
; the user's programs folder (%LOCALAPPDATA%\Programs\Zandreth): the screen
; saver, its zandreth.ini beside it (which, the folder being the user's own,
; then holds the user's settings, and which a later installation never
; replaces), the install note and the licences. Zandreth becomes the current
; screen saver only when the user ticks it (or passes /SCREENSAVER). The
; uninstaller is registered in the user's list of programs; it removes the
; program, and the user's settings only when the user ticks them (or passes
; /REMOVESETTINGS).
;
;   zandreth-setup.exe [/S] [/SCREENSAVER] [/D=folder]
;   uninstall.exe [/S] [/REMOVESETTINGS]

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zandreth"
!define DESKTOP_KEY "Control Panel\Desktop"
!define PUBLISHER "The Zandreth developers"
; SystemParametersInfoW: SPI_SETSCREENSAVEACTIVE, and SPIF_SENDCHANGE so that
; the running session hears of the change.
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2

Name "Zandreth"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zandreth"
BrandingText "Zandreth ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Zandreth"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Zandreth ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_NOAUTOCLOSE

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The program's own language first: a Japanese system gets Japanese pages,
; any other English ones.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString ProgramSection ${LANG_JAPANESE} "Zandreth (スクリーンセーバー)"
LangString ProgramSection ${LANG_ENGLISH} "Zandreth (the screen saver)"
LangString ScreenSaverSection ${LANG_JAPANESE} "Zandreth を現在のスクリーンセーバーにする"
LangString ScreenSaverSection ${LANG_ENGLISH} "Make Zandreth my screen saver"
LangString SettingsSection ${LANG_JAPANESE} "設定 (zandreth.ini) も削除する"
LangString SettingsSection ${LANG_ENGLISH} "Remove my settings (zandreth.ini) as well"

Section "$(ProgramSection)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=zandreth.scr" "${SCR}"
  File "/oname=README.txt" "${NOTE}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  File "/oname=LICENSE-Unicode.txt" "${UNICODE_LICENSE}"
  ; The zandreth.ini beside the program holds the user's settings from the
  ; first save on: an installation over an earlier one keeps it.
  SetOverwrite off
  File "/oname=zandreth.ini" "${INI}"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zandreth"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zandreth.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(ScreenSaverSection)" SecScreenSaver
  ; In its short form, as the screen-saver settings of Windows write it: the
  ; system starts the value as it stands, and the user's folder may have
  ; blanks in its name. A volume without short names gives the long one.
  GetFullPathName /SHORT $0 "$INSTDIR\zandreth.scr"
  ${If} $0 == ""
    StrCpy $0 "$INSTDIR\zandreth.scr"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SCREENSAVER" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecScreenSaver} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "un.$(ProgramSection)" UnSecProgram
  SectionIn RO
  ; The screen saver goes back to none when it was this one, under its long
  ; or its short name.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\zandreth.scr"
  ${If} $0 == "$INSTDIR\zandreth.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  Delete "$INSTDIR\zandreth.scr"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\LICENSE-Unicode.txt"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Empty unless the user's settings stay.
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(SettingsSection)" UnSecSettings
  ; The settings beside the program, a save's temporary file a kill may have
  ; left, and the settings of a copy the user ran from a system folder.
  Delete "$INSTDIR\zandreth.ini"
  Delete "$INSTDIR\.zandreth.ini.*"
  RMDir "$INSTDIR"
  RMDir /r "$APPDATA\Zandreth"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnSecSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
