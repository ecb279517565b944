# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` rules: the executables in bin/, the book and the sounds in share/quillet/,
# the desktop entry, icons and AppStream metainfo for desktop integration, the manual pages, and
# the copyright and changelog files. The Debian package puts the executables in games/ and the
# data in share/games/quillet/ instead, as Debian's policy for games has it (see Package.cmake).
# The game opens its book and sounds by bare name in its working directory, so the desktop entry
# starts it with Path= set to the installed data folder; started anywhere else, it reads those
# not in its working directory from the data folder, found from its own place.
include(GNUInstallDirs)

# Folders made by the installation are rwxr-xr-x whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(QUILLET_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where the programs go, relative to the prefix (the Debian package: games)")
set(QUILLET_INSTALL_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/quillet CACHE STRING
    "Where the opening book and the sounds go, relative to the prefix (the Debian package: share/games/quillet)")

install(TARGETS quillet-tool RUNTIME DESTINATION ${QUILLET_INSTALL_BINDIR})
# The same files the build copies beside the executables (assets/*.wav and the opening book).
if(QUILLET_DATA_FILES)
  install(FILES ${QUILLET_DATA_FILES} DESTINATION ${QUILLET_INSTALL_PKGDATADIR})
endif()

if(TARGET quillet)
  install(TARGETS quillet RUNTIME DESTINATION ${QUILLET_INSTALL_BINDIR})
  # A book or sound not in the current directory is read from the data folder, which the game
  # finds from its own place: the way from the programs' folder to the data folder is the same
  # under whatever prefix it is installed (bin/../share/quillet, games/../share/games/quillet).
  set(from ${QUILLET_INSTALL_BINDIR})
  set(to ${QUILLET_INSTALL_PKGDATADIR})
  if(NOT IS_ABSOLUTE "${from}")
    set(from "${CMAKE_INSTALL_PREFIX}/${from}")
  endif()
  if(NOT IS_ABSOLUTE "${to}")
    set(to "${CMAKE_INSTALL_PREFIX}/${to}")
  endif()
  file(RELATIVE_PATH QUILLET_DATA_FROM_PROGRAM "${from}" "${to}")
  target_compile_definitions(quillet PRIVATE QUILLET_DATA_FROM_PROGRAM="${QUILLET_DATA_FROM_PROGRAM}")

  # The prefix may be changed at install time (`cmake --install build --prefix ~/.local`), so the
  # desktop entry's Exec= and Path= are written then, not when configuring; file(INSTALL) then
  # honours DESTDIR and lists the file in install_manifest.txt like any other.
  install(CODE "
    include(\"${CMAKE_CURRENT_LIST_DIR}/QuilletDesktopEntry.cmake\")
    quillet_write_desktop_entry(\"${CMAKE_CURRENT_SOURCE_DIR}/data/quillet.desktop.in\"
      \"${CMAKE_CURRENT_BINARY_DIR}/install-staging/quillet.desktop\"
      \"\${CMAKE_INSTALL_PREFIX}\" \"${QUILLET_INSTALL_BINDIR}\" \"${QUILLET_INSTALL_PKGDATADIR}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
      TYPE FILE FILES \"${CMAKE_CURRENT_BINARY_DIR}/install-staging/quillet.desktop\")
  ")

  install(DIRECTORY data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "quillet.png")
  install(FILES data/icons/quillet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES data/io.github.quillet.Quillet.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The manual pages, compressed as Debian's policy asks (gzip -9, no name or time stamp inside, so
# the same page gives the same bytes), and the copyright and changelog files.
set(QUILLET_MAN_PAGES ${CMAKE_SOURCE_DIR}/man/quillet-tool.6)
if(TARGET quillet)
  list(APPEND QUILLET_MAN_PAGES ${CMAKE_SOURCE_DIR}/man/quillet.6)
endif()
set(QUILLET_COMPRESSED)
foreach(source ${QUILLET_MAN_PAGES} ${CMAKE_SOURCE_DIR}/packaging/changelog)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/compressed
    COMMAND gzip -9n -c ${source} > ${compressed}
    DEPENDS ${source} VERBATIM)
  list(APPEND QUILLET_COMPRESSED ${compressed})
endforeach()
add_custom_target(quillet_compressed_docs ALL DEPENDS ${QUILLET_COMPRESSED})
foreach(page ${QUILLET_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  install(FILES ${CMAKE_BINARY_DIR}/compressed/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
set(QUILLET_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quillet)
install(FILES packaging/copyright DESTINATION ${QUILLET_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/compressed/changelog.gz DESTINATION ${QUILLET_INSTALL_DOCDIR})

# Everything the installation holds, and nothing else: `make install` and `make deb` build this.
add_custom_target(quillet_installable)
add_dependencies(quillet_installable quillet-tool quillet_compressed_docs)
if(TARGET quillet)
  add_dependencies(quillet_installable quillet)
endif()
