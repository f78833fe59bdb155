# Installation into the usual places of a Linux desktop, and the Debian package.
#   cmake --install build [--prefix DIR]
#   cd build && cpack -G DEB
# The installed programs find their read-only data in ../share/vocalix beside bin/ and keep the
# user's files in $XDG_DATA_HOME/vocalix (see base/ProgramFolder.h).

install(TARGETS vocalix vocalix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vocalix
  PATTERN ".gitkeep" EXCLUDE)

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/vocalix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/icons/vocalix.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${packaging}/icons/vocalix-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vocalix.png)
endforeach()
install(FILES ${packaging}/vocalix.1 ${packaging}/vocalix-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vocalix)

set(CPACK_PACKAGE_NAME vocalix)
set(CPACK_PACKAGE_VENDOR "Vocalix")
set(CPACK_PACKAGE_CONTACT "Vocalix developers <vocalix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking text editor for Russian text")
set(CPACK_PACKAGE_DESCRIPTION
  "Vocalix opens or takes typed Russian text in ten pages, reads it aloud with the\n"
  "eSpeak NG voices while highlighting each word, or records it to WAV, MP3 or OGG.\n"
  "Correction rules and pronunciation dictionaries prepare the text for speech.\n"
  "vocalix-cli does the same batch work without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries are found by dpkg-shlibdeps; what is loaded at run time is named here:
# the voices, Qt's X11 platform plugin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data, qt6-qpa-plugins")
# MP3 and OGG encoders, Word documents, Qt's own dialogs in Russian; printing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "lame, vorbis-tools, libreoffice-writer-nogui, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups-client")
set(CPACK_GENERATOR DEB)
include(CPack)
