# SPDX-License-Identifier: GPL-3.0-or-later
# Database files next to the executable, built from the SQL and CSV text in db/.
#
# The frequency database ships with the program: tremvik-frequenzen makes it
# from the schema db/frequenzen.sql and the four lists in db/frequenzen/
# (with herkunft.csv, which says where each list comes from), and
# it is rebuilt whenever one of them (or the tool) changes. The tool builds
# it under a temporary name and renames it into place, so a failed build
# leaves the previous file as it was.
#
# The log database belongs to the user: it is created only when none exists,
# so rebuilding never touches a user's log.

set(FREQ_DB ${BIN_DIR}/Frequenzen.dorlem-fasq)
set(LOG_DB  ${BIN_DIR}/tremvik.dorlem-fasq)

set(FREQ_SCHEMA ${CMAKE_SOURCE_DIR}/db/frequenzen.sql)
set(FREQ_ORDNER ${CMAKE_SOURCE_DIR}/db/frequenzen)
set(FREQ_CSV
  ${FREQ_ORDNER}/bos.csv
  ${FREQ_ORDNER}/flugfunk.csv
  ${FREQ_ORDNER}/afu.csv
  ${FREQ_ORDNER}/fernwirken.csv
  ${FREQ_ORDNER}/herkunft.csv)
add_custom_command(
  OUTPUT ${FREQ_DB}
  COMMAND tremvik-frequenzen build ${FREQ_DB} ${FREQ_ORDNER} ${FREQ_SCHEMA}
  DEPENDS tremvik-frequenzen ${FREQ_SCHEMA} ${FREQ_CSV}
  COMMENT "Frequenzdatenbank aus db/frequenzen.sql und db/frequenzen/*.csv erzeugen"
  VERBATIM)

add_custom_target(datenbanken ALL
  DEPENDS ${FREQ_DB}
  COMMAND tremvik-dbinit --wenn-fehlt ${LOG_DB} ${CMAKE_SOURCE_DIR}/db/kontakt.sql
  COMMENT "Logdatenbank anlegen, falls keine vorhanden ist"
  VERBATIM)
