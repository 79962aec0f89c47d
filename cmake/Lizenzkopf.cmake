# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++ file of the program, its tools, tests, benchmark and fuzzers
# names its licence in its first line, checked as a test (cmake -P, from
# CTest), so that a new file cannot arrive without it.
set(kopf "// SPDX-License-Identifier: GPL-3.0-or-later")
set(ohne "")
file(GLOB_RECURSE dateien RELATIVE ${QUELLEN}
     ${QUELLEN}/src/*.h ${QUELLEN}/src/*.cpp ${QUELLEN}/tools/*.h ${QUELLEN}/tools/*.cpp
     ${QUELLEN}/tests/*.h ${QUELLEN}/tests/*.cpp ${QUELLEN}/bench/*.h ${QUELLEN}/bench/*.cpp
     ${QUELLEN}/fuzz/*.h ${QUELLEN}/fuzz/*.cpp)
foreach(datei ${dateien})
  file(STRINGS ${QUELLEN}/${datei} erste LIMIT_COUNT 1)
  if(NOT erste STREQUAL kopf)
    list(APPEND ohne ${datei})
  endif()
endforeach()
list(LENGTH dateien anzahl)
if(ohne)
  list(JOIN ohne "\n  " liste)
  message(FATAL_ERROR "Ohne die Zeile „${kopf}“ am Anfang:\n  ${liste}")
endif()
message(STATUS "${anzahl} Dateien, jede mit ihrer Lizenzzeile.")
