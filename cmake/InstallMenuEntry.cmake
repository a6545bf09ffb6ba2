# Install step of the menu entry (cmake/Install.cmake sets DIZADI_COMMAND,
# DIZADI_DESKTOP_ID, DIZADI_ENTRY_TEMPLATE and DIZADI_ENTRY_FOLDER). Exec names
# the command by its full path under the prefix of this installation (which
# need not be on PATH), quoted as desktop entries want an argument.
set(_command "${CMAKE_INSTALL_PREFIX}/bin/${DIZADI_COMMAND}")
string(REPLACE "%" "%%" _command "${_command}")
# A path with a reserved character goes in double quotes, with ", `, $ and \
# escaped by a backslash.
if(_command MATCHES "[] \t\n\"'\\><~|&;$*?#()`[]")
    string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" _command "${_command}")
    set(_command "\"${_command}\"")
endif()
# The value of the key escapes each backslash once more.
string(REPLACE "\\" "\\\\" DIZADI_EXEC "${_command}")
# Written under a name of this run's own, so that installations made at the
# same time from one build do not write over each other's entry.
string(RANDOM LENGTH 12 _run)
set(_entry "${DIZADI_ENTRY_FOLDER}/${_run}.desktop")
configure_file(${DIZADI_ENTRY_TEMPLATE} ${_entry} @ONLY)
file(INSTALL ${_entry} DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" RENAME ${DIZADI_DESKTOP_ID}.desktop)
file(REMOVE ${_entry})
