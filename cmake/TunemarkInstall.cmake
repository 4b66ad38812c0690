# What `cmake --install` puts where, and the Debian package that `cpack -G DEB` makes of it.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(app_id org.tunemark.Tunemark)

install(TARGETS tunemark RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(WIN32) # elsewhere `tunemark --rename …` serves the command line
    install(TARGETS tunemark-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${packaging}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/tunemark.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${packaging}/icons/${size}x${size}/tunemark.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants the man page and the changelog compressed, reproducibly.
find_program(GZIP gzip REQUIRED)
set(compressed ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${compressed})
foreach(source tunemark.1 changelog)
    add_custom_command(OUTPUT ${compressed}/${source}.gz
                       COMMAND ${GZIP} -n -9 -c ${packaging}/${source} > ${compressed}/${source}.gz
                       DEPENDS ${packaging}/${source} VERBATIM)
endforeach()
add_custom_target(tunemark_packaging ALL
                  DEPENDS ${compressed}/tunemark.1.gz ${compressed}/changelog.gz)
install(FILES ${compressed}/tunemark.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${compressed}/changelog.gz ${packaging}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tunemark)

set(CPACK_PACKAGE_NAME tunemark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tunemark developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rename music files by their tags")
set(CPACK_PACKAGE_CONTACT "Tunemark developers <tunemark@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Chinese texts, and a font with Chinese characters, without which every text is a box.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tunemark renames MP3 and RealMedia files in batches by the title and\n"
       "the singer in each file's tag, with a name template such as\n"
       "title-singer, and can write a log of the renames and an M3U playlist.\n"
       "A second page renames all files of one folder to a prefix and a\n"
       "running number. The interface is in Simplified Chinese.")
include(CPack)
