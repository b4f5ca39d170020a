; The Windows installer, plotdxf-setup.exe: the converter, the screen view,
; the hatch patterns, the user guide and the examples in one program folder,
; a Start-menu entry for the screen view and an uninstaller. /S installs
; (and uninstalls) silently; /D=FOLDER, last on the command line, chooses the
; folder. Built by the plotdxf-setup target of the Windows build, which
; defines VERSION, BUILD_DIR, SOURCE_DIR, OUT_FILE and FILE_LIST (the
; generated list of the documents and examples, files.nsh).

; A 64-bit installer for 64-bit programs: it writes the 64-bit registry and
; Program Files without redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "${FILE_LIST}"

!define PRODUCT "plotdxf"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\plotdxf"
!define MENU_FOLDER "$SMPROGRAMS\plotdxf"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\plotdxf"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "plotdxf"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}/plotdxf.exe"
  File "${BUILD_DIR}/plotdxf-view.exe"
  File "${SOURCE_DIR}/data/kqhatch.pat"
  !if /FileExists "${BUILD_DIR}/kq.pat"
    File "${BUILD_DIR}/kq.pat"
  !endif
  !insertmacro InstallDocuments

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\plotdxf Screen View.lnk" "$INSTDIR\plotdxf-view.exe"
  CreateShortcut "${MENU_FOLDER}\Uninstall plotdxf.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "plotdxf developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there, file by file: the command files and
; drawings a logging program left in the folder are not ours, and stay with
; the folder.
Section "Uninstall"
  SetShellVarContext all
  Delete "${MENU_FOLDER}\plotdxf Screen View.lnk"
  Delete "${MENU_FOLDER}\Uninstall plotdxf.lnk"
  RMDir "${MENU_FOLDER}"

  Delete "$INSTDIR\plotdxf.exe"
  Delete "$INSTDIR\plotdxf-view.exe"
  Delete "$INSTDIR\kqhatch.pat"
  !if /FileExists "${BUILD_DIR}/kq.pat"
    Delete "$INSTDIR\kq.pat"
  !endif
  !insertmacro RemoveDocuments
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
