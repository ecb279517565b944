# `cmake --install` rules: the executables in bin/, the book and the sounds in share/quillet/,
# and the desktop entry, icons and AppStream metainfo for desktop integration.
# The game opens its book and sounds by bare name in its working directory, so the desktop entry
# starts it with Path= set to the installed share/quillet.
include(GNUInstallDirs)

set(QUILLET_INSTALL_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/quillet)

install(TARGETS quillet-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The same files the build copies beside the executables (assets/*.wav and the opening book).
if(QUILLET_DATA_FILES)
  install(FILES ${QUILLET_DATA_FILES} DESTINATION ${QUILLET_INSTALL_PKGDATADIR})
endif()

if(TARGET quillet)
  install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The prefix may be changed at install time (`cmake --install build --prefix ~/.local`), so the
  # desktop entry's Exec= and Path= are written then, not when configuring; file(INSTALL) then
  # honours DESTDIR and lists the file in install_manifest.txt like any other.
  install(CODE "
    include(\"${CMAKE_CURRENT_LIST_DIR}/QuilletDesktopEntry.cmake\")
    quillet_write_desktop_entry(\"${CMAKE_CURRENT_SOURCE_DIR}/data/quillet.desktop.in\"
      \"${CMAKE_CURRENT_BINARY_DIR}/install-staging/quillet.desktop\"
      \"\${CMAKE_INSTALL_PREFIX}\" \"${CMAKE_INSTALL_BINDIR}\" \"${CMAKE_INSTALL_DATADIR}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
      TYPE FILE FILES \"${CMAKE_CURRENT_BINARY_DIR}/install-staging/quillet.desktop\")
  ")

  install(DIRECTORY data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "quillet.png")
  install(FILES data/icons/quillet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES data/io.github.quillet.Quillet.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
