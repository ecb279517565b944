# SPDX-License-Identifier: GPL-3.0-or-later
# Font configurations for the tests, so that what they draw does not depend on the fonts a
# developer has installed or on the user's fontconfig settings.
#   QUILLET_TEST_FONTCONFIG          the game's fonts: IPA P Mincho and DejaVu (scripts/setup.sh
#                                    installs fonts-ipafont-mincho and fonts-dejavu-core)
#   QUILLET_TEST_FONTCONFIG_NO_JA    DejaVu alone, a desktop without a Japanese font
# The directories are looked up once, when CMake configures the build.

# The directory holding the files of a font family; a packaged default when fontconfig does not
# know the family (the configuration then offers no such font, and the tests say so).
function(quillet_font_dir out family fallback)
  execute_process(COMMAND fc-list -f "%{file}\n" "${family}"
                  OUTPUT_VARIABLE files ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REPLACE "\n" ";" files "${files}")
  if(files)
    list(SORT files)
    list(GET files 0 first)
    get_filename_component(dir "${first}" DIRECTORY)
  else()
    message(WARNING "the tests' font '${family}' is not installed (scripts/setup.sh installs it)")
    set(dir "${fallback}")
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

quillet_font_dir(QUILLET_TEST_JAPANESE_FONT_DIR "IPAPMincho" /usr/share/fonts/opentype/ipafont-mincho)
quillet_font_dir(QUILLET_TEST_LATIN_FONT_DIR "DejaVu Sans" /usr/share/fonts/truetype/dejavu)

set(QUILLET_FONT_RULES /usr/share/fontconfig/conf.avail)
set(QUILLET_FONT_CACHE ${CMAKE_BINARY_DIR}/tests/fonts/cache)

set(QUILLET_FONT_DIRS "  <dir>${QUILLET_TEST_JAPANESE_FONT_DIR}</dir>\n  <dir>${QUILLET_TEST_LATIN_FONT_DIR}</dir>")
set(QUILLET_TEST_FONTCONFIG ${CMAKE_BINARY_DIR}/tests/fonts/game.conf)
configure_file(${CMAKE_CURRENT_LIST_DIR}/fonts.conf.in ${QUILLET_TEST_FONTCONFIG} @ONLY)

set(QUILLET_FONT_DIRS "  <dir>${QUILLET_TEST_LATIN_FONT_DIR}</dir>")
set(QUILLET_TEST_FONTCONFIG_NO_JA ${CMAKE_BINARY_DIR}/tests/fonts/no-japanese.conf)
configure_file(${CMAKE_CURRENT_LIST_DIR}/fonts.conf.in ${QUILLET_TEST_FONTCONFIG_NO_JA} @ONLY)
