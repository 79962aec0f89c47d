# Database files next to the executable, built from the SQL and CSV text in db/.
#
# The frequency database ships with the program and is rebuilt whenever its
# sources change. The log database belongs to the user: it is created only
# when none exists, so rebuilding never touches a user's log.

set(FREQ_DB ${BIN_DIR}/Frequenzen.dorlem-fasq)
set(LOG_DB  ${BIN_DIR}/tremvik.dorlem-fasq)

file(GLOB FREQ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/db/frequenzen/*)
add_custom_command(
  OUTPUT ${FREQ_DB}
  COMMAND tremvik-dbinit ${FREQ_DB} ${CMAKE_SOURCE_DIR}/db/frequenzen.sql
  DEPENDS tremvik-dbinit ${CMAKE_SOURCE_DIR}/db/frequenzen.sql ${FREQ_SOURCES}
  COMMENT "Frequenzdatenbank aus db/ erzeugen"
  VERBATIM)

add_custom_target(datenbanken ALL
  DEPENDS ${FREQ_DB}
  COMMAND tremvik-dbinit --wenn-fehlt ${LOG_DB} ${CMAKE_SOURCE_DIR}/db/kontakt.sql
  COMMENT "Logdatenbank anlegen, falls keine vorhanden ist"
  VERBATIM)
