# SPDX-License-Identifier: GPL-3.0-or-later
# Installing (cmake --install) and the Debian package (cpack -G DEB).
#
# An installed program finds its shipped files beside its bin folder, in
# share/tremvik-tool/: the frequency database, read-only, and an empty log
# that the first start copies into the user's data folder
# (~/.local/share/tremvik-tool). The build folder's own log is never
# shipped: the empty log is made anew from db/kontakt.sql.

include(GNUInstallDirs)

set(PAKET_DATEN ${CMAKE_BINARY_DIR}/share/tremvik-tool)
set(LEERES_LOG ${PAKET_DATEN}/tremvik.dorlem-fasq)
add_custom_command(
  OUTPUT ${LEERES_LOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PAKET_DATEN}
  COMMAND tremvik-dbinit ${LEERES_LOG} ${CMAKE_SOURCE_DIR}/db/kontakt.sql
  DEPENDS tremvik-dbinit ${CMAKE_SOURCE_DIR}/db/kontakt.sql
  COMMENT "Leere Logdatenbank für die Installation anlegen"
  VERBATIM)

# The icon: 16 and 32 pixels from the XPM images the program shows, and a
# scalable one drawn after them.
set(SYMBOLE ${CMAKE_BINARY_DIR}/symbole)
foreach(groesse 16 32)
  add_custom_command(
    OUTPUT ${SYMBOLE}/${groesse}/tremvik-tool.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SYMBOLE}/${groesse}
    COMMAND tremvik-symbol ${CMAKE_SOURCE_DIR}/resources/tremvik-${groesse}.xpm
            ${SYMBOLE}/${groesse}/tremvik-tool.png
    DEPENDS tremvik-symbol ${CMAKE_SOURCE_DIR}/resources/tremvik-${groesse}.xpm
    VERBATIM)
  list(APPEND SYMBOL_PNGS ${SYMBOLE}/${groesse}/tremvik-tool.png)
endforeach()

# The user manual, which the program shows ("Handbuch", F1): Markdown with
# pictures of the windows, in share/tremvik-tool/handbuch/ of the build
# folder as of an installation, so the program finds it the same way in
# both.
set(HANDBUCH_QUELLE ${CMAKE_SOURCE_DIR}/doc/handbuch)
file(GLOB HANDBUCH_DATEIEN CONFIGURE_DEPENDS ${HANDBUCH_QUELLE}/*.md ${HANDBUCH_QUELLE}/bilder/*.png)
set(HANDBUCH_ZIEL ${PAKET_DATEN}/handbuch)
add_custom_command(
  OUTPUT ${HANDBUCH_ZIEL}/handbuch.md
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HANDBUCH_ZIEL}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${HANDBUCH_QUELLE} ${HANDBUCH_ZIEL}
  DEPENDS ${HANDBUCH_DATEIEN}
  COMMENT "Handbuch in den Build-Ordner kopieren"
  VERBATIM)

# What Debian asks beside the program: a changelog and a manual page for
# each program in bin/, compressed with gzip -n (no name or time inside,
# so the same sources give the same bytes).
set(PAKET_QUELLEN ${CMAKE_SOURCE_DIR}/paket)
set(GEPACKT ${CMAKE_BINARY_DIR}/paket)
set(HANDBUCHSEITEN)
foreach(datei changelog man/tremvik-tool.1 man/tremvik-log.1 man/tremvik-jet.1 man/tremvik-frequenzen.1)
  get_filename_component(name ${datei} NAME)
  add_custom_command(
    OUTPUT ${GEPACKT}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GEPACKT}
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${PAKET_QUELLEN}/${datei} ${GEPACKT}/${name}.gz
    DEPENDS ${PAKET_QUELLEN}/${datei}
    VERBATIM)
  if(name MATCHES "\\.1$")
    list(APPEND HANDBUCHSEITEN ${GEPACKT}/${name}.gz)
  endif()
endforeach()

# The changelog's newest entry is this version.
file(STRINGS ${PAKET_QUELLEN}/changelog CHANGELOG_KOPF LIMIT_COUNT 1)
string(REGEX MATCH "\\(([^)]+)\\)" _ "${CHANGELOG_KOPF}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "paket/changelog beginnt mit Version ${CMAKE_MATCH_1}, das Projekt ist ${PROJECT_VERSION}.")
endif()

add_custom_target(paketdateien ALL DEPENDS ${LEERES_LOG} ${SYMBOL_PNGS} ${HANDBUCH_ZIEL}/handbuch.md
                                           ${GEPACKT}/changelog.gz ${HANDBUCHSEITEN})

# The release date in the metainfo is the day of the build (or
# SOURCE_DATE_EPOCH, for builds that must come out the same).
string(TIMESTAMP TREMVIK_BAUDATUM "%Y-%m-%d" UTC)
set(METAINFO ${CMAKE_BINARY_DIR}/org.example.tremvik.tool.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/resources/tremvik-tool.metainfo.xml.in ${METAINFO} @ONLY)

# The program and the tools a user runs; the others (tremvik-dbinit,
# -shots, -rtf, -symbol, -bench) serve the build and the developers.
set(TREMVIK_PROGRAMME tremvik-tool tremvik-frequenzen tremvik-jet tremvik-log)
foreach(programm ${TREMVIK_PROGRAMME})
  # Linked with the whole library, they need only some of its libraries.
  target_link_options(${programm} PRIVATE LINKER:--as-needed)
endforeach()
install(TARGETS ${TREMVIK_PROGRAMME} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# tremvik-jetleser reads Jet files for the program and tremvik-jet in a
# process of its own; nobody calls it by hand, so it lives in libexec. The
# programs find it there by its path relative to their own folder.
target_link_options(tremvik-jetleser PRIVATE LINKER:--as-needed)
install(TARGETS tremvik-jetleser RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tremvik-tool)
file(RELATIVE_PATH LESER_RELATIV /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBEXECDIR}/tremvik-tool)
target_compile_definitions(tremvik-kern PRIVATE TREMVIK_LESER_RELATIV="${LESER_RELATIV}")
install(FILES ${FREQ_DB} ${LEERES_LOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/tremvik-tool)
install(FILES resources/tremvik-tool.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(groesse 16 32)
  install(FILES ${SYMBOLE}/${groesse}/tremvik-tool.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${groesse}x${groesse}/apps)
endforeach()
install(FILES resources/tremvik-tool.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES db/frequenzen/LIESMICH.md DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME Frequenzlisten.md)
install(FILES paket/copyright ${GEPACKT}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${HANDBUCHSEITEN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# What lintian is to accept, each with the reason in a comment.
install(FILES paket/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tremvik-tool)
# The manual lies with the program's data, which it needs, and is linked
# from the documentation folder, which a system may leave out (Debian
# Policy 12.3).
install(DIRECTORY ${HANDBUCH_QUELLE}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tremvik-tool/handbuch)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/doku)
file(CREATE_LINK ../../tremvik-tool/handbuch ${CMAKE_BINARY_DIR}/doku/handbuch SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/doku/handbuch DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: scripts/paket builds it into build/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tremvik-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "tremvik-tool <tremvik-tool@tremvik.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Frequenzlisten nachschlagen und das eigene Empfangslog führen")
set(CPACK_PACKAGE_DESCRIPTION
    "tremvik-tool ist ein Programm für Funkhörer: Es schlägt vier Frequenzlisten
nach (BOS, Flugfunk, AFU-Repeater, Fernwirken), führt das eigene Empfangslog
(„eigene Einträge“) und sichert die Logdatenbank in einen Ordner eigener Wahl
und stellt sie von dort wieder her. Einträge und Listen aus älteren
Datenbanken im Jet-Format (Access) übernimmt tremvik-jet.

Die Flugfunk-Liste stammt aus OurAirports; BOS, AFU-Repeater und
Fernwirken sind Beispieldaten mit erfundenen Orten und Rufnamen.")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tremvik.example.org")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries it links come from dpkg-shlibdeps; beside them what it
# loads at run time: Qt's SQLite driver, and the fonts the windows and the
# remark are drawn with (Liberation Sans for MS Sans Serif and Arial,
# DejaVu Sans for Verdana).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-liberation, fonts-dejavu-core")
# Qt's own texts (buttons of its dialogs) in German.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
