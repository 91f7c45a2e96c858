# What the Debian package installs, and CPack's DEB generator that makes it
# (scripts/package.sh). Programs in /usr/bin, the link library where the
# program loads it (/usr/lib/<multiarch>/vapora), the main-folder template in
# /usr/share/vapora, from which each user's main folder is made.
install(TARGETS vapora vapora-tool vapora-virtual-unit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS SerNoxDL LIBRARY DESTINATION ${VAPORA_PRIVATE_LIBDIR})
# No unit until the user chooses a port (a build tree keeps the simulated unit).
install(FILES packaging/SerNoxDL.conf DESTINATION ${VAPORA_PRIVATE_LIBDIR})

set(VAPORA_TEMPLATE_PERMISSIONS FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(DIRECTORY ${CMAKE_BINARY_DIR}/vapora-home/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vapora
        ${VAPORA_TEMPLATE_PERMISSIONS})
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/guide)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guide/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vapora/guide
          ${VAPORA_TEMPLATE_PERMISSIONS})
endif()

# Manual pages and the changelog, compressed as Debian wants them (no name or time inside).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(compressed)
foreach(page vapora vapora-tool vapora-virtual-unit)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${packaging_out}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${packaging_out}/${page}.1.gz
                     COMMAND ${GZIP_EXECUTABLE} -9nf -k ${packaging_out}/${page}.1
                     DEPENDS ${packaging_out}/${page}.1 VERBATIM)
  list(APPEND compressed ${packaging_out}/${page}.1.gz)
  install(FILES ${packaging_out}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${packaging_out}/changelog @ONLY)
add_custom_command(OUTPUT ${packaging_out}/changelog.gz
                   COMMAND ${GZIP_EXECUTABLE} -9nf -k ${packaging_out}/changelog
                   DEPENDS ${packaging_out}/changelog VERBATIM)
list(APPEND compressed ${packaging_out}/changelog.gz)
add_custom_target(packaging-docs ALL DEPENDS ${compressed})

install(FILES ${packaging_out}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vapora)
install(FILES packaging/vapora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/vapora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/vapora-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vapora.xml)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vapora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Murazzoni)
set(CPACK_PACKAGE_CONTACT "Murazzoni <vapora@murazzoni.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workshop program for LPG and methane injection units")
set(CPACK_PACKAGE_DESCRIPTION
    "Vapora connects the PC of an installer of LPG and methane conversion kits to
the gas injection control unit of a car through a serial adapter. It reads and
writes the unit's configuration, edits the gas and petrol maps, calibrates the
mixture, shows live values, reads the diagnosis, records live values and
reprograms the unit's firmware. Each user's files live in the folder
~/.local/share/Vapora.

Includes vapora-tool, the command-line companion for scripting, and
vapora-virtual-unit, a simulated unit on a serial line for demonstrations.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link, as dpkg-shlibdeps finds them (Qt's window system
# plugins come with its GUI library), and what Qt loads at run time besides: its
# translations, so that standard dialogs speak the program's language.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
