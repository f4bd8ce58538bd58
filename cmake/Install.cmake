# `make install`: the program folder stays whole under lib/brindle/ (the program finds its skins,
# help, language files and the device service library beside itself), with a link in bin/, the
# udev rule that gives the logged-in user the keyboard, and the desktop integration files.
include(GNUInstallDirs)

set(BRINDLE_INSTALL_FOLDER lib/brindle)

# Everything the build put into the program folder: programs, libHidServ.so, Skins/ (with the
# generated pictures), Help/, icons/, language files.
install(DIRECTORY ${BRINDLE_BIN_DIR}/ DESTINATION ${BRINDLE_INSTALL_FOLDER}
        USE_SOURCE_PERMISSIONS
        PATTERN "*_tests" EXCLUDE
        PATTERN "*_bench" EXCLUDE
        PATTERN "*_fuzz" EXCLUDE)

# bin/brindle and bin/brindlectl: relative links into the program folder.
install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    foreach(program brindle brindlectl)
        file(CREATE_LINK ../${BRINDLE_INSTALL_FOLDER}/\${program} \"\${bin}/\${program}\" SYMBOLIC)
    endforeach()
")

if(EXISTS ${PROJECT_SOURCE_DIR}/data/70-brindle.rules)
    install(FILES ${PROJECT_SOURCE_DIR}/data/70-brindle.rules DESTINATION lib/udev/rules.d)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/brindle.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/io.github.keyweave.Brindle.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(EXISTS ${PROJECT_SOURCE_DIR}/data/icons/brindle.svg)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/brindle.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
