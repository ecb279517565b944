# `cmake --install` rules: the executables in bin/, the book and the sounds in share/quillet/,
# the desktop entry, icons and AppStream metainfo for desktop integration, the manual pages, and
# the copyright and changelog files. The Debian package puts the executables in games/ and the
# data in share/games/quillet/ instead, as Debian's policy for games has it (see Package.cmake).
# The game opens its book and sounds by bare name in its working directory, so the desktop entry
# starts it with Path= set to the installed data folder.
include(GNUInstallDirs)

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

# Checks of the desktop files. A missing checker makes the test report itself skipped (77), not
# pass; scripts/setup.sh installs them.
include(${CMAKE_CURRENT_LIST_DIR}/QuilletDesktopEntry.cmake)
set(QUILLET_CHECK_DESKTOP ${CMAKE_CURRENT_BINARY_DIR}/desktop-check/quillet.desktop)
quillet_write_desktop_entry(${CMAKE_CURRENT_SOURCE_DIR}/data/quillet.desktop.in ${QUILLET_CHECK_DESKTOP}
  "${CMAKE_INSTALL_PREFIX}" "${QUILLET_INSTALL_BINDIR}" "${QUILLET_INSTALL_PKGDATADIR}")

add_test(NAME desktop_entry_valid
  COMMAND sh -c "command -v desktop-file-validate >/dev/null || exit 77; desktop-file-validate \"$1\"" sh
          ${QUILLET_CHECK_DESKTOP})
add_test(NAME metainfo_valid
  COMMAND sh -c "command -v appstreamcli >/dev/null || exit 77; appstreamcli validate --no-net --explain \"$1\"" sh
          ${CMAKE_CURRENT_SOURCE_DIR}/data/io.github.quillet.Quillet.metainfo.xml)
add_test(NAME icons_match_svg COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/render_icons.sh --check)
set_tests_properties(desktop_entry_valid metainfo_valid icons_match_svg PROPERTIES
  SKIP_RETURN_CODE 77 LABELS desktop)

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

# The pages render without a warning, and quillet-tool's page describes every command the
# program lists (man/check_pages.sh).
add_test(NAME man_pages
  COMMAND sh ${CMAKE_SOURCE_DIR}/man/check_pages.sh $<TARGET_FILE:quillet-tool> ${QUILLET_MAN_PAGES})
set_tests_properties(man_pages PROPERTIES SKIP_RETURN_CODE 77 LABELS desktop)
