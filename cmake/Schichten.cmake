# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of the house, checked as a test (cmake -P, from CTest):
#
#   core (src/kern/), lowest first:  basis < daten < formate < bestaende <
#     the services (austausch, jet, sicherung, empfaenger, auswertung, druck)
#   windows (src/fenster/): bausteine < each window's room < haupt
#
# A file includes its own room and the rooms below it; the services do not
# include each other, a window's room knows no other window's room (the main
# window hands it what it needs), and nothing in the core includes a window.
# That the core sees no widget header at all is the build's own rule: its
# target does not link Qt6::Widgets.
set(RANG_basis 0)
set(RANG_daten 1)
set(RANG_formate 2)
set(RANG_bestaende 3)
foreach(dienst austausch jet sicherung empfaenger auswertung druck)
  set(RANG_${dienst} 4)
endforeach()

set(verstoesse "")
file(GLOB_RECURSE dateien RELATIVE ${QUELLEN}/src ${QUELLEN}/src/kern/* ${QUELLEN}/src/fenster/*)
foreach(datei ${dateien})
  if(NOT datei MATCHES "\\.(h|cpp)$")
    continue()
  endif()
  string(REPLACE "/" ";" teile ${datei})
  list(GET teile 0 schicht)
  list(GET teile 1 raum)
  file(STRINGS ${QUELLEN}/src/${datei} zeilen REGEX "^#include \"[^\"]+\"")
  foreach(zeile ${zeilen})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" ziel "${zeile}")
    string(REPLACE "/" ";" zteile ${ziel})
    list(LENGTH zteile n)
    if(n LESS 3)
      continue()
    endif()
    list(GET zteile 0 zschicht)
    list(GET zteile 1 zraum)
    set(falsch FALSE)
    if(schicht STREQUAL "kern")
      if(zschicht STREQUAL "fenster")
        set(falsch TRUE)
      elseif(NOT zraum STREQUAL raum)
        if(NOT RANG_${zraum} LESS RANG_${raum})
          set(falsch TRUE)
        endif()
      endif()
    elseif(zschicht STREQUAL "fenster" AND NOT zraum STREQUAL raum)
      if(raum STREQUAL "bausteine" OR (NOT raum STREQUAL "haupt" AND NOT zraum STREQUAL "bausteine"))
        set(falsch TRUE)
      endif()
    endif()
    if(falsch)
      string(APPEND verstoesse "  src/${datei} -> ${ziel}\n")
    endif()
  endforeach()
endforeach()

if(verstoesse)
  message(FATAL_ERROR "Diese Dateien greifen eine Schicht zu hoch oder in einen fremden Raum:\n${verstoesse}")
endif()
