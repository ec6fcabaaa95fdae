# What the Windows programs need beside them to start: the resources built
# into each executable, and the DLLs and Qt plugins copied into bin/ so that
# the programs and the test programs run in place (under wine here).

function(zorvek_windows_resources target description)
  set(ZORVEK_RC_FILE ${target}.exe)
  set(ZORVEK_RC_NAME ${target})
  set(ZORVEK_RC_DESCRIPTION ${description})
  set(ZORVEK_RC_COMPANY "ЗОРВЕК")
  set(ZORVEK_RC_ICON ${PROJECT_SOURCE_DIR}/app/windows/zorvek.ico)
  set(ZORVEK_RC_MANIFEST ${PROJECT_SOURCE_DIR}/app/windows/zorvek.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/app/windows/program.rc.in
    ${CMAKE_BINARY_DIR}/resources/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/resources/${target}.rc)
endfunction()

zorvek_windows_resources(zorvek "ЗОРВЕК: считывание регистратора и документы проверки крана")
zorvek_windows_resources(zorvek-cli "ЗОРВЕК: документы проверки крана из командной строки")
zorvek_windows_resources(zorvek-sim "ЗОРВЕК: двойники приборов")
# The window program is a GUI program: no console opens with it.
set_target_properties(zorvek PROPERTIES WIN32_EXECUTABLE ON)

# The compiler's runtime, zlib, and the cross-built libraries.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
  OUTPUT_VARIABLE ZORVEK_LIBSTDCXX OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(ZORVEK_GCC_RUNTIME ${ZORVEK_LIBSTDCXX} DIRECTORY)
set(ZORVEK_RUNTIME_DLLS
  ${ZORVEK_GCC_RUNTIME}/libstdc++-6.dll
  ${ZORVEK_GCC_RUNTIME}/libgcc_s_seh-1.dll
  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
  /usr/x86_64-w64-mingw32/lib/zlib1.dll)
file(GLOB ZORVEK_PREFIX_DLLS ${ZORVEK_WINDOWS_PREFIX}/bin/*.dll)
list(FILTER ZORVEK_PREFIX_DLLS EXCLUDE REGEX "d\\.dll$")  # no debug builds are made
list(APPEND ZORVEK_RUNTIME_DLLS ${ZORVEK_PREFIX_DLLS})
# Qt's plugins: the Windows and offscreen platforms, the native style, the
# image formats of the supplied pictures.
set(ZORVEK_QT_PLUGINS platforms/qwindows.dll platforms/qoffscreen.dll
  styles/qwindowsvistastyle.dll imageformats/qjpeg.dll imageformats/qgif.dll
  imageformats/qico.dll)
file(COPY ${ZORVEK_RUNTIME_DLLS} DESTINATION ${CMAKE_BINARY_DIR}/bin)
foreach(plugin ${ZORVEK_QT_PLUGINS})
  get_filename_component(folder ${plugin} DIRECTORY)
  file(COPY ${ZORVEK_WINDOWS_PREFIX}/plugins/${plugin} DESTINATION ${CMAKE_BINARY_DIR}/bin/${folder})
endforeach()

# Qt's own Russian texts for its dialogs (Open, Yes/No); Debian's
# qt6-translations-l10n has them for every system.
set(ZORVEK_QT_TRANSLATIONS /usr/share/qt6/translations/qtbase_ru.qm)
file(COPY ${ZORVEK_QT_TRANSLATIONS} DESTINATION ${CMAKE_BINARY_DIR}/bin/translations)
