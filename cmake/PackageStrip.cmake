# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on its staging folder before it packs it: takes the compiler's notes (.comment,
# .note) out of the programs as well, as Debian's own packaging tools do after stripping.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_QUILLET_PROGRAM_DIR}/*")
if(programs)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${programs}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
