# SPDX-License-Identifier: GPL-3.0-or-later
# The version both programs print, and the Debian binary package built by `make deb`.
#
# `make deb` configures its own build folder (build-deb) with the prefix /usr, the programs in
# games/ and the data in share/games/quillet/ (Install.cmake's QUILLET_INSTALL_* folders), and the
# compiler and linker flags Debian builds its packages with (dpkg-buildflags), builds the
# programs and runs `cpack -G DEB` there, which installs into a staging folder and packs that
# into quillet_VERSION_ARCH.deb. scripts/check-deb.sh checks the package.

target_compile_definitions(quillet-tool PRIVATE QUILLET_VERSION="${PROJECT_VERSION}")
if(TARGET quillet)
  target_compile_definitions(quillet PRIVATE QUILLET_VERSION="${PROJECT_VERSION}")
endif()

# The project has no home page or list address of its own yet; this is the contact the game's
# about box gives.
set(QUILLET_DEB_MAINTAINER "The Quillet developers <quillet@example.org>" CACHE STRING
    "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_CONTACT ${QUILLET_DEB_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reversi on a shogi board with shogi pawns")
# Lines of at most 80 characters; an empty line starts a paragraph.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quillet is reversi played on a nine-by-nine shogi board with shogi pawns. A"
  "piece placed so that it brackets a line of the opponent's pawns turns them all"
  "over, from と to 歩 or back. Two people can share the mouse, or one person plays"
  "against the computer, moving first or second."
  ""
  "The computer player consults an opening book and searches three moves ahead."
  "The game can be stepped back and forward, either side can be taken over at any"
  "position, and a coaching mode insists on the opening book's move. The menus are"
  "in Japanese."
  ""
  "The package also holds quillet-tool, which analyses positions, measures the"
  "computer player and builds the opening book.")

# Installed as `cmake --install` would, into a staging folder under the real prefix (/usr), so the
# desktop entry written at install time names the real paths.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLET_DEB_MAINTAINER})
# Depends: from the shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Mincho font the board's labels are drawn in, and Qt's Japanese texts for the buttons of the
# message boxes; without them the game falls back to another font and to English buttons.
# Qt's Wayland platform (qt6-wayland, a plugin loaded at run time, so not found by dpkg-shlibdeps):
# recommended, not required, since the game runs without it wherever X11 or Xwayland is, and it
# would bring Qt's Wayland compositor and Quick libraries to X11-only systems. apt installs
# recommendations by default, so a Wayland desktop gets a native, crisp game; where a session has
# no X at all and it is missing, the game says so in one line.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-mincho, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Stripped as Debian's own tools strip programs, after CPack's plain strip.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageStrip.cmake)
if(IS_ABSOLUTE "${QUILLET_INSTALL_BINDIR}")
  set(CPACK_QUILLET_PROGRAM_DIR "${QUILLET_INSTALL_BINDIR}")
else()
  set(CPACK_QUILLET_PROGRAM_DIR "${CMAKE_INSTALL_PREFIX}/${QUILLET_INSTALL_BINDIR}")
endif()
include(CPack)

# The changelog, the metainfo and the manual pages name the project's version.
add_test(NAME version_everywhere
  COMMAND sh ${CMAKE_SOURCE_DIR}/packaging/check_version.sh ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION})
set_tests_properties(version_everywhere PROPERTIES TIMEOUT ${QUILLET_TEST_TIMEOUT})
