# Makes the manual page and the bash completion of kvkum-cli from the
# program's own "kvkum-cli --help", so that neither can drift from it: the
# help is the one place the commands and options are written down (built
# from the parser's tables in src/cli).  Run at build time by
# cmake/installation.cmake:
#   cmake -DCLI=<kvkum-cli> -DQUELLE=<packaging/> -DZIEL=<dir> -DVERSION=<x.y>
#         -DDATUM=<YYYY-MM-DD> -P erzeuge.cmake
# Writes ZIEL/kvkum-cli.1 and ZIEL/kvkum-cli.bash-completion.
#
# What is read from the help: the options before the first heading line (a
# line ending in ":" at the margin) act before the command (-C, --help,
# --version); the options indented by two blanks after it, up to the first
# command, are the selection, for every command; a command is a line
# indented by two blanks starting with a lower-case letter; the options
# indented by six blanks below a command are its own.  An option's value is
# the upper-case word after its name ("--jahr J"): a file for DATEI or NAME,
# a directory for VERZEICHNIS, else a value with nothing to complete.
cmake_minimum_required(VERSION 3.22)
foreach(_v CLI QUELLE ZIEL VERSION DATUM)
  if(NOT DEFINED ${_v})
    message(FATAL_ERROR "erzeuge.cmake: -D${_v}=... fehlt")
  endif()
endforeach()

execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE HILFE RESULT_VARIABLE _rc
                ERROR_VARIABLE _fehler)
if(NOT _rc EQUAL 0 OR HILFE STREQUAL "")
  message(FATAL_ERROR "\"${CLI} --help\" ging nicht (${_rc}): ${_fehler}")
endif()

# ---- read the help ---------------------------------------------------------
# Lines as a list: the list separator protected first, and the brackets,
# which would keep an unbalanced one's lines together.
string(REPLACE ";" "\\;" _text "${HILFE}")
string(REPLACE "[" "<kv-auf>" _text "${_text}")
string(REPLACE "]" "<kv-zu>" _text "${_text}")
string(REPLACE "\n" ";" _zeilen "${_text}")

set(_teil kopf)          # kopf, auswahl, befehle
set(_befehl "")
set(BEFEHLE "")
set(VOR_BEFEHL "")       # options before the command
set(AUSWAHL "")          # selection options, for every command
set(MIT_VERZEICHNIS "")  # options taking a directory
set(MIT_DATEI "")        # options taking a file name
set(MIT_WERT "")         # options taking any other value
set(_befehlsfaelle "")   # case branches: a command's own options
set(_eigene "")

macro(_schliesse_befehl)
  if(_befehl)
    list(JOIN _eigene " " _liste)
    string(APPEND _befehlsfaelle "        ${_befehl}) optionen=\"$optionen ${_liste}\" ;;\n")
  endif()
  set(_eigene "")
endmacro()

# The options an option line starts with ("--help, -h", "--jahr J"), and
# what its value is.
macro(_optionen zeile ergebnis)
  string(REGEX MATCH "^ *-[-A-Za-z0-9]+(, -[-A-Za-z0-9]+)*( [A-Z][-A-Z0-9.]*)?( |$)" _kopf "${zeile}")
  string(REGEX MATCHALL "-[-A-Za-z][-A-Za-z0-9]*" ${ergebnis} "${_kopf}")
  if(_kopf MATCHES " ([A-Z][-A-Z0-9.]*) ?$")
    set(_wert "${CMAKE_MATCH_1}")
    list(GET ${ergebnis} 0 _erste)
    if(_wert MATCHES "^(VERZEICHNIS|DIR)$")
      list(APPEND MIT_VERZEICHNIS "${_erste}")
    elseif(_wert MATCHES "^(DATEI|NAME|FILE)$")
      list(APPEND MIT_DATEI "${_erste}")
    else()
      list(APPEND MIT_WERT "${_erste}")
    endif()
  endif()
endmacro()

foreach(_z IN LISTS _zeilen)
  string(REPLACE "<kv-auf>" "[" _z "${_z}")
  string(REPLACE "<kv-zu>" "]" _z "${_z}")
  if(_z MATCHES "^[^ ].*:$")
    if(_teil STREQUAL "kopf")
      set(_teil auswahl)
    endif()
  elseif(_z MATCHES "^  ([a-z][-a-z0-9]*)( |$)")
    _schliesse_befehl()
    set(_teil befehle)
    set(_befehl "${CMAKE_MATCH_1}")
    list(APPEND BEFEHLE "${_befehl}")
  elseif(_z MATCHES "^  -")
    _optionen("${_z}" _o)
    if(_teil STREQUAL "kopf")
      list(APPEND VOR_BEFEHL ${_o})
    elseif(_teil STREQUAL "auswahl")
      list(APPEND AUSWAHL ${_o})
    endif()
  elseif(_z MATCHES "^      --" AND _befehl)
    _optionen("${_z}" _o)
    list(APPEND _eigene ${_o})
  endif()
endforeach()
_schliesse_befehl()

list(LENGTH BEFEHLE _anzahl)
list(LENGTH AUSWAHL _auswahlzahl)
if(_anzahl LESS 2 OR _auswahlzahl LESS 4 OR NOT "-C" IN_LIST VOR_BEFEHL)
  message(FATAL_ERROR "erzeuge.cmake: die Hilfe von kvkum-cli hat nicht die erwartete Form "
                      "(Befehle: ${BEFEHLE}; Auswahl: ${AUSWAHL}; vor dem Befehl: ${VOR_BEFEHL})")
endif()
# A case pattern for each kind of value (one that matches no word when no
# option has that kind).
foreach(_art MIT_VERZEICHNIS MIT_DATEI MIT_WERT)
  list(REMOVE_DUPLICATES ${_art})
  if(NOT ${_art})
    set(${_art} "--kvkum-keine-option")
  endif()
  list(JOIN ${_art} "|" ${_art})
endforeach()

# ---- bash completion -------------------------------------------------------
list(JOIN BEFEHLE " " BEFEHLE)
list(JOIN VOR_BEFEHL " " VOR_BEFEHL)
list(JOIN AUSWAHL " " AUSWAHL)
set(BEFEHLSFAELLE "${_befehlsfaelle}")
configure_file("${QUELLE}/kvkum-cli.bash-completion.in" "${ZIEL}/kvkum-cli.bash-completion" @ONLY)

# ---- manual page -----------------------------------------------------------
# The help verbatim in a no-fill block: backslashes escaped, a line that
# would start with a control character guarded, and every hyphen that starts
# an option a minus sign, as man pages write options.
set(_roff "")
foreach(_z IN LISTS _zeilen)
  string(REPLACE "<kv-auf>" "[" _z "${_z}")
  string(REPLACE "<kv-zu>" "]" _z "${_z}")
  string(REPLACE "\\" "\\e" _z "${_z}")
  set(_vorher "")
  while(NOT _vorher STREQUAL _z)
    set(_vorher "${_z}")
    string(REGEX REPLACE "(^|[ [(=|]|\\\\-)-" "\\1\\\\-" _z "${_z}")
  endwhile()
  if(_z MATCHES "^[.']")
    set(_z "\\&${_z}")
  endif()
  string(APPEND _roff "${_z}\n")
endforeach()
string(STRIP "${_roff}" HILFE)
configure_file("${QUELLE}/man/kvkum-cli.1.in" "${ZIEL}/kvkum-cli.1" @ONLY)
