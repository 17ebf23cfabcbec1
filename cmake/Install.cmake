# What an installed tree holds and where, and the two Debian packages CPack makes of it:
# ipo-terminal (terminal, plug-in, companion, framework libraries, desktop entry, icon, sample
# terms file) and ipo-service (service, systemd unit, default settings). Every library path is
# relative to the binary that names it, so an installed tree works from any prefix.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

# --- ipo-terminal
if(IPO_BUILD_WX)
  set_target_properties(ipo-terminal PROPERTIES INSTALL_RPATH "$ORIGIN/${IPO_PLUGIN_DIR_FROM_BIN}")
  set_target_properties(QuorIPO64 corvex ipofw ipofw_wx PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ipo-terminal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT terminal)
  install(TARGETS QuorIPO64 corvex ipofw ipofw_wx
          LIBRARY DESTINATION ${IPO_PLUGIN_INSTALL_DIR} COMPONENT terminal)
  install(FILES ${packaging}/IPOTermsAndConditions.html
          DESTINATION ${IPO_DATA_INSTALL_DIR} COMPONENT terminal)
  install(FILES ${packaging}/ipo-terminal.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT terminal)
  install(FILES ${packaging}/ipo-terminal.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT terminal)
endif()

# --- ipo-service
set_target_properties(ipo-service PROPERTIES INSTALL_RPATH "")
install(TARGETS ipo-service RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT service)
# The unit, the settings and the log rotation name the installed binary, so they are written at
# install time, when the prefix is known. Everything stays under the prefix, except that the
# /usr prefix (the package's) places them where the system looks: /etc and /lib/systemd/system.
install(CODE "set(packaging \"${packaging}\")
              set(bindir \"${CMAKE_INSTALL_BINDIR}\")
              set(build \"${CMAKE_BINARY_DIR}\")" COMPONENT service)
install(CODE [[
  set(IPO_SERVICE_BIN "${CMAKE_INSTALL_PREFIX}/${bindir}/ipo-service")
  set(etc "${CMAKE_INSTALL_PREFIX}/etc")
  set(units "${CMAKE_INSTALL_PREFIX}/lib/systemd/system")
  if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(etc /etc)
    set(units /lib/systemd/system)
  endif()
  set(IPO_SERVICE_CONFIG "${etc}/ipo-service/ipo-service.conf")
  # One staging folder per destination: two installs at once (two cpack runs) never share one.
  string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(staged "${build}/service-files/${destination}")
  configure_file("${packaging}/ipo-service.service.in" "${staged}/ipo-service.service" @ONLY)
  configure_file("${packaging}/ipo-service.logrotate.in" "${staged}/ipo-service" @ONLY)
  file(INSTALL "${staged}/ipo-service.service" DESTINATION "${units}")
  file(INSTALL "${packaging}/ipo-service.conf" DESTINATION "${etc}/ipo-service")
  file(INSTALL "${staged}/ipo-service" DESTINATION "${etc}/logrotate.d")
]] COMPONENT service)

# --- manual pages, made from each program's --help and --version
find_program(HELP2MAN help2man REQUIRED)
set(programs ipo-service)
if(IPO_BUILD_WX)
  list(APPEND programs ipo-terminal)
endif()
set(ipo-service_summary "reference IPO service for the IPO terminal")
set(ipo-terminal_summary "desktop trading terminal with the IPO bidding plug-in")
set(ipo-service_component service)
set(ipo-terminal_component terminal)
foreach(program ${programs})
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr --name "${${program}_summary}"
            --output ${page} $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${program}
    COMMENT "Writing the manual page of ${program}")
  add_custom_target(${program}-man ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT ${${program}_component})
endforeach()

# The Debian revision: raised when the packaging changes and the program does not.
set(IPO_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the packages")

# --- documents of each package: the README, its own pages, the copyright and a changelog
foreach(component terminal service)
  set(package ipo-${component})
  set(docs ${CMAKE_INSTALL_DATADIR}/doc/${package})
  install(FILES README.md ${packaging}/debian/copyright DESTINATION ${docs} COMPONENT ${component})
  set(PACKAGE ${package})
  configure_file(${packaging}/debian/changelog.in ${CMAKE_BINARY_DIR}/${package}/changelog @ONLY)
  execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/${package}/changelog)
  install(FILES ${CMAKE_BINARY_DIR}/${package}/changelog.gz
          DESTINATION ${docs} RENAME changelog.Debian.gz COMPONENT ${component})
endforeach()
install(FILES docs/architecture.md docs/protocol.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ipo-terminal COMPONENT terminal)
install(FILES docs/protocol.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ipo-service COMPONENT service)

# --- packages
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quoripo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${IPO_DEBIAN_REVISION})
set(CPACK_PACKAGE_CONTACT "QuorIPO team <ipo-team@quoripo.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL terminal service)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The terminal's own libraries lie in its private folder: dpkg-shlibdeps finds them there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_TERMINAL_PACKAGE_NAME ipo-terminal)
set(CPACK_COMPONENT_TERMINAL_DESCRIPTION "desktop trading terminal with the IPO bidding plug-in
The terminal hosts the IPO plug-in: the watch list of current, forthcoming and
closed issues, the bid dialog (up to three bids, cut-off price, UPI or ASBA
payment) and the order book (filter, cancel, modify, export). It talks to an
IPO service through the companion library installed beside the plug-in.")
set(CPACK_DEBIAN_SERVICE_PACKAGE_NAME ipo-service)
set(CPACK_DEBIAN_SERVICE_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_SERVICE_PACKAGE_RECOMMENDS logrotate)
set(CPACK_COMPONENT_SERVICE_DESCRIPTION "reference IPO service for the IPO terminal
An HTTP/JSON service over a SQLite store: issues, clients, users and orders,
with the market's bidding rules. It runs under systemd as its own system user,
with its store in /var/lib/ipo-service.")
set(CPACK_DEBIAN_SERVICE_PACKAGE_CONTROL_EXTRA
    ${packaging}/debian/ipo-service/conffiles ${packaging}/debian/ipo-service/postinst
    ${packaging}/debian/ipo-service/prerm ${packaging}/debian/ipo-service/postrm)
include(CPack)
