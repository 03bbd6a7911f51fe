# The Debian package (`make package`, which configures a separate build folder with the prefix
# /usr). Every file the install() rules put into the package is in it, and dpkg-shlibdeps
# computes the libraries every installed program and plug-in needs, so a new installed target
# needs no edit here. What follows names only what the linker cannot show.

set(ZORVEL_PACKAGE_MAINTAINER "Zorvel developers <developers@zorvel.org>"
    CACHE STRING "Maintainer field of the Debian package")

# The Debian version is the latest entry of packaging/changelog, whose upstream part must be
# the project's version.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog _zorvel_changelog_top LIMIT_COUNT 1)
if(NOT _zorvel_changelog_top MATCHES "^zorvel \\(([^)-]+)-([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog: the first line names no version")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog is at ${CMAKE_MATCH_1}, the project at "
                      "${PROJECT_VERSION}: add a changelog entry")
endif()
set(CPACK_DEBIAN_PACKAGE_VERSION ${CMAKE_MATCH_1})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})

# Documentation as Debian wants it: copyright, the compressed changelog, the manual page.
set(_zorvel_gz)
foreach(pair "packaging/changelog:changelog.Debian.gz" "res/zorvel.1:zorvel.1.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 _in)
  list(GET pair 1 _out)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${_out}
                     COMMAND sh -c "gzip -9nc '${CMAKE_SOURCE_DIR}/${_in}' > '${_out}'"
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
                     DEPENDS ${CMAKE_SOURCE_DIR}/${_in} VERBATIM)
  list(APPEND _zorvel_gz ${CMAKE_BINARY_DIR}/packaging/${_out})
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(zorvel_package_docs ALL DEPENDS ${_zorvel_gz})
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/zorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME zorvel)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvel)
set(CPACK_PACKAGE_VENDOR "Zorvel developers")
set(CPACK_PACKAGE_CONTACT "${ZORVEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZORVEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese desktop alarm clock and personal reminder")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvel floats an analog clock on the desktop and rings alarms once or every
day, with a song, a shaking window, a program to start, or a restart or
power-off, and a snooze. It speaks the time in Mandarin on the hour and half
hour, shows sticky notes and memos, reminds you to rest after hours of work,
shows the lunar calendar, solar terms and the four pillars of the day, and
sets the clock from a time server.

The interface is in Chinese (simplified). Everything you enter is kept in one
encrypted SQLite database in ~/.local/share/zorvel/.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorvel.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

# Loaded at run time, so invisible to dpkg-shlibdeps: Qt's platform plug-ins (xcb, with
# Wayland as the fall-back), Chinese texts of Qt's own dialogs, GStreamer's decoders and sound
# output for the songs and voice clips (mpg123, wavparse, pulsesink), and the fonts the windows
# ask for by name.
set(_zorvel_depends
    qt6-qpa-plugins
    qt6-translations-l10n
    gstreamer1.0-plugins-base
    gstreamer1.0-plugins-good
    fonts-noto-cjk
    fonts-liberation2
    # setcap, with which the postinst lets zorvel-wake wake the computer
    libcap2-bin)
# The built-in browser's pages render in a helper process of its own.
if(Qt6WebEngineCore_DIR)
  list(APPEND _zorvel_depends libqt6webenginecore6-bin)
endif()
string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_DEPENDS "${_zorvel_depends}")
# dpkg carries no file capabilities: the postinst grants zorvel-wake its own.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")

include(CPack)
