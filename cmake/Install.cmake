# `cmake --install` puts the programs, the engine library and the voice set together in
# lib/rolvik, because the programs look for the engine and the voice set in their own folder;
# bin/ gets links to the programs. With the window program (not built without ROLVIK_GUI) come its
# desktop entry and its icon in the hicolor theme.
include(GNUInstallDirs)

set(ROLVIK_INSTALL_PROGRAM_DIR lib/rolvik)
set(ROLVIK_INSTALLED_PROGRAMS rolvik-cli)
if(TARGET rolvik)
    list(APPEND ROLVIK_INSTALLED_PROGRAMS rolvik)
endif()

install(TARGETS ${ROLVIK_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${ROLVIK_INSTALL_PROGRAM_DIR})
install(TARGETS rolvik_engine LIBRARY DESTINATION ${ROLVIK_INSTALL_PROGRAM_DIR})
install(FILES res/DefMA3_16.vm3 res/DefMA3_16.LICENSE DESTINATION ${ROLVIK_INSTALL_PROGRAM_DIR})

# Relative links, so that the tree works wherever it is installed or staged (DESTDIR).
file(RELATIVE_PATH program_dir_from_bin /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${ROLVIK_INSTALL_PROGRAM_DIR})
foreach(program IN LISTS ROLVIK_INSTALLED_PROGRAMS)
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
        message(STATUS \"Installing: \${link}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK ${program_dir_from_bin}/${program} \"\${link}\" SYMBOLIC)")
endforeach()

if(TARGET rolvik)
    set(hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES res/rolvik.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES res/icon.svg DESTINATION ${hicolor}/scalable/apps RENAME rolvik.svg)
    file(GLOB icon_files ${PROJECT_SOURCE_DIR}/res/icons/rolvik-*.png)
    foreach(icon IN LISTS icon_files)
        string(REGEX MATCH "rolvik-([0-9]+)\\.png$" matched ${icon})
        set(size ${CMAKE_MATCH_1})
        install(FILES ${icon} DESTINATION ${hicolor}/${size}x${size}/apps RENAME rolvik.png)
    endforeach()
endif()
