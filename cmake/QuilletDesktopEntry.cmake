# SPDX-License-Identifier: GPL-3.0-or-later
# quillet_write_desktop_entry(<template> <output> <prefix> <bindir> <pkgdatadir>): fills in the
# desktop entry's TryExec=, Exec= and Path= for an installation under <prefix>, with the programs
# in <bindir> and the book and sounds in <pkgdatadir> (each relative to the prefix, or absolute).
# Used when configuring (for the validity test) and at install time (for the real prefix).
function(quillet_write_desktop_entry template output prefix bindir pkgdatadir)
  foreach(dir bindir pkgdatadir)
    if(NOT IS_ABSOLUTE "${${dir}}")
      set(${dir} "${prefix}/${${dir}}")
    endif()
  endforeach()
  # These would need escaping in three layers (string value, Exec quoting, field codes); no
  # sensible prefix holds them, so refuse instead of writing an entry that does not start.
  if("${bindir}${pkgdatadir}" MATCHES "[\"`$\\\\%\n]")
    message(FATAL_ERROR "quillet.desktop: the install prefix \"${prefix}\" contains a character "
                        "(\" ` $ \\ % or a line break) that a desktop entry cannot hold; "
                        "choose another prefix")
  endif()
  set(QUILLET_TRYEXEC "${bindir}/quillet")
  set(QUILLET_EXEC "${bindir}/quillet")
  if(QUILLET_EXEC MATCHES "[^A-Za-z0-9/._+-]")
    # Spaces and shell characters are allowed inside a quoted Exec= argument.
    set(QUILLET_EXEC "\"${QUILLET_EXEC}\"")
  endif()
  set(QUILLET_PATH "${pkgdatadir}")
  configure_file("${template}" "${output}" @ONLY)
endfunction()
