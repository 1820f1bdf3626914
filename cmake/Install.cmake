# What `cmake --install` lays out below the prefix, where a Linux desktop finds the editor:
#   lib/vedozi-duruzava-editor/       the program folder: the editor, libIniFileManager.so, which
#                                     it loads from its own folder, and the user guide its Help
#                                     menu opens from there
#   bin/vedozi-duruzava-editor        the launcher on PATH: a relative link to the program, so the
#                                     program still finds its folder and the prefix may move
#   share/applications/vedozi-duruzava-editor.desktop
#   share/icons/hicolor/64x64/apps/vedozi-duruzava-editor.png
include(GNUInstallDirs)

set(SV_PROGRAM_NAME vedozi-duruzava-editor)
set(SV_PROGRAM_FOLDER "${CMAKE_INSTALL_LIBDIR}/${SV_PROGRAM_NAME}")

install(TARGETS vedozi-duruzava-editor RUNTIME DESTINATION "${SV_PROGRAM_FOLDER}")
install(TARGETS IniFileManager LIBRARY DESTINATION "${SV_PROGRAM_FOLDER}")
install(FILES "${SV_USER_GUIDE}" DESTINATION "${SV_PROGRAM_FOLDER}")

file(RELATIVE_PATH SV_LAUNCHER_TARGET "/prefix/${CMAKE_INSTALL_BINDIR}"
     "/prefix/${SV_PROGRAM_FOLDER}/${SV_PROGRAM_NAME}")
install(CODE "
    set(launcher \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${SV_PROGRAM_NAME}\")
    message(STATUS \"Installing: \${launcher}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${launcher}\")
    file(CREATE_LINK \"${SV_LAUNCHER_TARGET}\" \"\${launcher}\" SYMBOLIC)
")

install(FILES "${CMAKE_CURRENT_LIST_DIR}/../App/${SV_PROGRAM_NAME}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_CURRENT_LIST_DIR}/../Resources/Icons/2002.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps"
        RENAME "${SV_PROGRAM_NAME}.png")
