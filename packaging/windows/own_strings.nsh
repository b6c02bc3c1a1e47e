; The setup program's own texts in English and Simplified Chinese (the other
; languages of its pages show the English ones). The Chinese names are those
; the Chinese menus of the Debian package use (packaging/*.desktop).

!define MENU_FOLDER_EN "Prize Draw"
!define MENU_FOLDER_ZH "抽奖"
!define MENU_GAME_EN "Prize Draw"
!define MENU_GAME_ZH "抽奖"
!define MENU_EDITOR_EN "Edit prize list"
!define MENU_EDITOR_ZH "编辑奖品清单"
!define MENU_LIST_EN "Prize list and pictures"
!define MENU_LIST_ZH "奖品列表和图片"
!define MENU_UNINSTALL_EN "Uninstall Prize Draw"
!define MENU_UNINSTALL_ZH "卸载抽奖"

!pragma warning disable 6040 ; the other languages show the English texts

; The name in the setup program's title and pages.
LangString ProgramName ${LANG_ENGLISH} "${MENU_GAME_EN}"
LangString ProgramName ${LANG_SIMPCHINESE} "${MENU_GAME_ZH}"
LangString StartMenuFolder ${LANG_ENGLISH} "${MENU_FOLDER_EN}"
LangString StartMenuFolder ${LANG_SIMPCHINESE} "${MENU_FOLDER_ZH}"
LangString GameShortcut ${LANG_ENGLISH} "${MENU_GAME_EN}"
LangString GameShortcut ${LANG_SIMPCHINESE} "${MENU_GAME_ZH}"
LangString EditorShortcut ${LANG_ENGLISH} "${MENU_EDITOR_EN}"
LangString EditorShortcut ${LANG_SIMPCHINESE} "${MENU_EDITOR_ZH}"
LangString FolderShortcut ${LANG_ENGLISH} "${MENU_LIST_EN}"
LangString FolderShortcut ${LANG_SIMPCHINESE} "${MENU_LIST_ZH}"
LangString UninstallShortcut ${LANG_ENGLISH} "${MENU_UNINSTALL_EN}"
LangString UninstallShortcut ${LANG_SIMPCHINESE} "${MENU_UNINSTALL_ZH}"

LangString ReadTheGuide ${LANG_ENGLISH} "Show the guide (prizedraw-README.txt)"
LangString ReadTheGuide ${LANG_SIMPCHINESE} "显示说明（prizedraw-README.txt）"
LangString StartTheGame ${LANG_ENGLISH} "Start Prize Draw"
LangString StartTheGame ${LANG_SIMPCHINESE} "启动抽奖"
LangString OpenTheEditor ${LANG_ENGLISH} "Open the prize list in the Prize List Editor"
LangString OpenTheEditor ${LANG_SIMPCHINESE} "用奖品清单编辑器打开奖品清单"

LangString OwnNotReplaced ${LANG_ENGLISH} "Kept, since it is not the copy an earlier install left: "
LangString OwnNotReplaced ${LANG_SIMPCHINESE} "已保留（不是之前安装的原样文件）："
LangString OwnEarlierRemoved ${LANG_ENGLISH} "Removed, as an earlier version installed it: "
LangString OwnEarlierRemoved ${LANG_SIMPCHINESE} "已删除（旧版本安装的原样文件）："
LangString OwnKeptChanged ${LANG_ENGLISH} "Kept, since it changed after the install: "
LangString OwnKeptChanged ${LANG_SIMPCHINESE} "已保留（安装后改过）："
LangString OwnFolderKept ${LANG_ENGLISH} "The folder $INSTDIR was kept: it holds files that you made or changed, such as your prize list and pictures."
LangString OwnFolderKept ${LANG_SIMPCHINESE} "文件夹 $INSTDIR 已保留：里面有你自己放进去或改过的文件，比如奖品列表和图片。"
LangString OwnChangedKept ${LANG_ENGLISH} "Changed after the install, so kept:"
LangString OwnChangedKept ${LANG_SIMPCHINESE} "安装后改过，因此保留："

; The Start-menu entries under every name this program gives them, and those
; of earlier setup programs: the user's language may have changed since.
!macro DeleteShortcuts FOLDER
  !insertmacro DeleteShortcut "${FOLDER}" GAME
  !insertmacro DeleteShortcut "${FOLDER}" EDITOR
  !insertmacro DeleteShortcut "${FOLDER}" LIST
  !insertmacro DeleteShortcut "${FOLDER}" UNINSTALL
  Delete "${FOLDER}\Uninstall.lnk"
!macroend
!macro DeleteShortcut FOLDER KEY
  Delete "${FOLDER}\${MENU_${KEY}_EN}.lnk"
  Delete "${FOLDER}\${MENU_${KEY}_ZH}.lnk"
!macroend
