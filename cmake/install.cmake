# What `cmake --install` (and `make install`) puts on the system: the programs, the desktop
# entry, the icon, the AppStream metainfo and the manual pages.  Everything goes below the
# install prefix (and DESTDIR); nothing is written anywhere else.
include(GNUInstallDirs)

install(TARGETS vastel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vastel-cli)
  install(TARGETS vastel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(VASTEL_DATA ${CMAKE_SOURCE_DIR}/data)
install(FILES ${VASTEL_DATA}/vastel.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${VASTEL_DATA}/icons/vastel.svg
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${VASTEL_DATA}/io.github.vastel.Vastel.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# Every page of data/man/ is installed, whichever programs they describe.
file(GLOB VASTEL_MAN_PAGES CONFIGURE_DEPENDS ${VASTEL_DATA}/man/*.1)
install(FILES ${VASTEL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
