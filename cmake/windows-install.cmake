# Installed on Windows, everything lies in the program's own folder: the
# three programs, the DLLs they need (Qt as DLLs, which the user may replace),
# Qt's plugins, the templates in Kvelta\, the help, pictures and fonts.
# `cpack -G NSIS` makes a 64-bit installer of it with a Start-menu entry.
install(TARGETS zorvek zorvek-cli zorvek-sim RUNTIME DESTINATION .)
# Qt Test and libxml2 serve the test programs only.
set(ZORVEK_INSTALLED_DLLS ${ZORVEK_RUNTIME_DLLS})
list(FILTER ZORVEK_INSTALLED_DLLS EXCLUDE REGEX "(Qt6Test|libxml2)\\.dll$")
install(FILES ${ZORVEK_INSTALLED_DLLS} DESTINATION .)
foreach(plugin ${ZORVEK_QT_PLUGINS})
  get_filename_component(folder ${plugin} DIRECTORY)
  install(FILES ${ZORVEK_WINDOWS_PREFIX}/plugins/${plugin} DESTINATION ${folder})
endforeach()
install(DIRECTORY templates/ DESTINATION Kvelta FILES_MATCHING PATTERN "*.rtf")
file(GLOB ZORVEK_SUPPLIED CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/data/*)
list(FILTER ZORVEK_SUPPLIED EXCLUDE REGEX "\\.(desktop|svg)$")
install(FILES ${ZORVEK_SUPPLIED} DESTINATION .)
install(FILES ${ZORVEK_FONTS} DESTINATION fonts)
install(FILES ${ZORVEK_QT_TRANSLATIONS} DESTINATION translations)
# Shipped without their debug information, which stays in the build tree's
# programs for crash analysis: a third of the size otherwise.
install(CODE "set(ZORVEK_STRIP [[${CMAKE_STRIP}]])")
install(CODE [[
  file(GLOB_RECURSE binaries "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/*.exe"
    "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/*.dll")
  foreach(binary ${binaries})
    execute_process(COMMAND "${ZORVEK_STRIP}" --strip-debug "${binary}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "not stripped: ${binary}")
    endif()
  endforeach()
]])

set(CPACK_PACKAGE_NAME "ЗОРВЕК")
set(CPACK_PACKAGE_VENDOR "ЗОРВЕК")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Crane parameter recorder read-out and inspection documents")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "ZORVEK")
set(CPACK_PACKAGE_FILE_NAME "zorvek-${PROJECT_VERSION}-win64")
set(CPACK_NSIS_DISPLAY_NAME "ЗОРВЕК")
set(CPACK_NSIS_PACKAGE_NAME "ЗОРВЕК")
set(CPACK_NSIS_INSTALLED_ICON_NAME zorvek.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/windows/zorvek.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/windows/zorvek.ico)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_PACKAGE_EXECUTABLES zorvek "ЗОРВЕК")
# The programs lie in the installation folder itself, not in bin\.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# No licence to accept: CPack's own page would only say in English that
# there is none.
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
# The uninstaller's Start-menu entry in Russian (CPack names it
# "Uninstall"); on removal the empty key of the vendor goes too. Four
# backslashes reach the installer's script as one; its strings are in
# single quotes, which pass through CPack's own configuration unchanged.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
  "Rename '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Uninstall.lnk' '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Удалить ЗОРВЕК.lnk'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
  "Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Удалить ЗОРВЕК.lnk'
  DeleteRegKey /ifempty SHCTX 'Software\\\\ЗОРВЕК'")
# Debian's makensis builds a 64-bit installer only when asked: a wrapper
# passes the target (cpack would split an option given in one variable).
set(CPACK_NSIS_EXECUTABLE ${PROJECT_SOURCE_DIR}/scripts/makensis-amd64.sh)
set(CPACK_GENERATOR NSIS)
include(CPack)
