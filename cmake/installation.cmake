# Installation into the places Linux software has (FHS and the XDG
# directories below the prefix), and the Debian package made from it by
# CPack: ./kv paket.  The packaging data is in packaging/.
#
#   bin/kvkum, bin/kvkum-cli
#   share/applications/kvkum.desktop, share/icons/hicolor/*/apps/kvkum.*,
#   share/metainfo/<KV_APPSTREAM_ID>.metainfo.xml
#   share/man/man1/kvkum.1.gz, kvkum-cli.1.gz
#   share/bash-completion/completions/kvkum-cli
#   share/kvkum/beispiel/   the sample program directory, copied into the
#                           user's program directory on the first start
#                           from the menu (src/ui/programmverzeichnis.h)
#   share/doc/kvkum/        README.md, handbuch/, bilder/, beispiel (a link
#                           to share/kvkum/beispiel), copyright,
#                           changelog.Debian.gz
#
# The manual page and the completion of kvkum-cli are made at build time
# from "kvkum-cli --help" (packaging/erzeuge.cmake), so neither can drift
# from the program.

# Check builds (sanitizers, fuzzing) are never installed.
if(KV_SANITIZE OR KV_FUZZ OR NOT TARGET kvkum-cli)
  return()
endif()
include(GNUInstallDirs)

set(KV_APPSTREAM_ID "org.example.kvkum" CACHE STRING
    "AppStream component id: the project's domain name reversed, plus kvkum")
set(KV_WEBADRESSE "https://kvkum.example.org" CACHE STRING
    "Web address of the project (AppStream homepage)")
set(KV_BILDERADRESSE "${KV_WEBADRESSE}/docs/bilder" CACHE STRING
    "Web address under which docs/bilder/ is published (AppStream screenshots)")
set(KV_PAKET_BETREUER "kvkum maintainers <kvkum@example.org>" CACHE STRING
    "Maintainer of the Debian package: Name <address>")

set(_paket ${CMAKE_SOURCE_DIR}/packaging)
set(_aus ${CMAKE_BINARY_DIR}/paket)
file(MAKE_DIRECTORY ${_aus})

# The top entry of the Debian changelog gives the package revision and the
# release date of the manual pages and the metadata (a date that does not
# change with the day of the build).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_paket}/changelog)
file(STRINGS ${_paket}/changelog _kopf REGEX "^kvkum \\(" LIMIT_COUNT 1)
file(STRINGS ${_paket}/changelog _fuss REGEX "^ -- " LIMIT_COUNT 1)
if(NOT _kopf MATCHES "^kvkum \\(([^)]+)-([^-)]+)\\)" )
  message(FATAL_ERROR "packaging/changelog: the top entry has no version x.y-r")
endif()
set(_changelogversion ${CMAKE_MATCH_1})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
if(NOT _changelogversion STREQUAL PROJECT_VERSION)
  # ./kv paket refuses such a package; a build for the tests goes on.
  message(WARNING "packaging/changelog: its top entry is for ${_changelogversion}, "
                  "project() says ${PROJECT_VERSION}: add an entry before packaging")
endif()
if(NOT _fuss MATCHES " ([0-9]+) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: the top entry's trailer has no date")
endif()
set(_monate Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND _monate ${CMAKE_MATCH_2} _monat)
math(EXPR _monat "${_monat} + 1")
math(EXPR _tag "${CMAKE_MATCH_1}")
foreach(_z _monat _tag)
  if(${_z} LESS 10)
    set(${_z} "0${${_z}}")
  endif()
endforeach()
set(KV_DATUM "${CMAKE_MATCH_3}-${_monat}-${_tag}")

configure_file(${_paket}/kvkum.metainfo.xml.in ${_aus}/${KV_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${_paket}/man/kvkum.1.in ${_aus}/kvkum.1 @ONLY)
configure_file(${_paket}/changelog ${_aus}/changelog.Debian COPYONLY)

# kvkum-cli's manual page and completion, from its --help.
add_custom_command(
  OUTPUT ${_aus}/kvkum-cli.1 ${_aus}/kvkum-cli.bash-completion
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:kvkum-cli> -DQUELLE=${_paket} -DZIEL=${_aus}
          -DVERSION=${PROJECT_VERSION} -DDATUM=${KV_DATUM} -P ${_paket}/erzeuge.cmake
  DEPENDS kvkum-cli ${_paket}/erzeuge.cmake ${_paket}/man/kvkum-cli.1.in
          ${_paket}/kvkum-cli.bash-completion.in
  COMMENT "kvkum-cli.1 and its bash completion from kvkum-cli --help"
  VERBATIM)
# Manual pages and the changelog compressed as Debian has them (-n: no
# name or time stamp in the file, so the package is the same every time).
set(_gz "")
foreach(_d kvkum-cli.1 kvkum.1 changelog.Debian)
  add_custom_command(OUTPUT ${_aus}/${_d}.gz
                     COMMAND gzip -9 -n -k -f ${_aus}/${_d}
                     DEPENDS ${_aus}/${_d} VERBATIM)
  list(APPEND _gz ${_aus}/${_d}.gz)
endforeach()
add_custom_target(kvkum-paketdateien ALL DEPENDS ${_gz} ${_aus}/kvkum-cli.bash-completion)

# The documentation's view of the sample: a link to the installed one.
file(RELATIVE_PATH _zumbeispiel ${CMAKE_INSTALL_FULL_DOCDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/kvkum/beispiel)
file(CREATE_LINK ${_zumbeispiel} ${_aus}/beispiel SYMBOLIC)
file(MAKE_DIRECTORY ${_aus}/docs)
file(CREATE_LINK ../bilder ${_aus}/docs/bilder SYMBOLIC)

# Bound at load time, as Debian builds its programs (lintian: bindnow).
foreach(_p kvkum-cli kvkum)
  if(TARGET ${_p})
    target_link_options(${_p} PRIVATE -Wl,-z,relro,-z,now)
  endif()
endforeach()

# ---- what is installed -------------------------------------------------------
install(TARGETS kvkum-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_aus}/kvkum-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_aus}/kvkum-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kvkum-cli)
if(TARGET kvkum)
  install(TARGETS kvkum RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${_aus}/kvkum.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${_paket}/kvkum.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ${_paket}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "kvkum.png" PATTERN "kvkum.svg")
  install(FILES ${_aus}/${KV_APPSTREAM_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/beispiel/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kvkum/beispiel
        PATTERN demo.sh EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${_paket}/copyright ${_aus}/changelog.Debian.gz
              ${_aus}/beispiel
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/bilder/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/bilder
        FILES_MATCHING PATTERN "*.png")
install(FILES ${_aus}/docs/bilder DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
# The user manual, when there is one (OPTIONAL: checked at install time).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/handbuch/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/handbuch
        OPTIONAL)

# ---- the Debian package ------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvkum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KV_PAKET_BETREUER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KV_PAKET_BETREUER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cumulation of booking circles for double-entry bookkeeping")
set(CPACK_PACKAGE_DESCRIPTION
    "KALVENTO Kummulierung cumulates the books of several booking circles
(clients or companies) of the KALVENTO bookkeeping program into one set of
balances for a booking year and prints balance reports over the result:
trial balance, income statement, balance sheet, list of balances, monthly
evaluation, account histories and an overview of the booking circles.
It reads and writes the companion program's files byte for byte.

This package holds the desktop program kvkum (Qt 6) and the command-line
program kvkum-cli, with a sample program directory.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries from the binaries (dpkg-shlibdeps); besides them the fonts
# with the exact column pitch the reports are laid out in, and Qt's
# platform plugins, which libqt6gui6 only recommends.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/pakete)
include(CPack)
