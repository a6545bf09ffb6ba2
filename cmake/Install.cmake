# The installation (cmake --install <build> [--prefix P]):
#   P/lib/corvane-dizadi-mouse/   the program with everything it reads beside
#                                 it (libHIDUsb.so and the contents of install/)
#   P/bin/corvane-dizadi-mouse    the command: a relative link to the program,
#                                 which finds its files from its real path
#   P/bin/hidusb-bench            the control tool of the simulated device bench
#   P/share/applications/<id>.desktop and
#   P/share/icons/hicolor/<size>x<size>/apps/<id>.png   menu entry and icon
# Nothing else lands in P or P/lib. Every file goes through the install
# manifest, so the manifest lists all that an installation put down.
set(_dir lib/${DIZADI_COMMAND})

install(TARGETS CorvaneDizadiMouse RUNTIME DESTINATION ${_dir})
install(TARGETS hidusb LIBRARY DESTINATION ${_dir})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/install/ DESTINATION ${_dir})
install(TARGETS hidusb-bench RUNTIME DESTINATION bin)

# The command: made in the build folder (it resolves once installed) and
# installed as the link it is.
set(_link ${CMAKE_BINARY_DIR}/install-command/${DIZADI_COMMAND})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-command)
file(CREATE_LINK ../${_dir}/CorvaneDizadiMouse ${_link} SYMBOLIC)
install(FILES ${_link} DESTINATION bin)

foreach(size ${DIZADI_ICON_SIZES})
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/logo-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${DIZADI_DESKTOP_ID}.png)
endforeach()

# The menu entry: written at install time (cmake/InstallMenuEntry.cmake),
# when the prefix is known.
install(CODE "
    set(DIZADI_COMMAND ${DIZADI_COMMAND})
    set(DIZADI_DESKTOP_ID ${DIZADI_DESKTOP_ID})
    set(DIZADI_ENTRY_TEMPLATE \"${CMAKE_SOURCE_DIR}/resources/desktop/menu-entry.desktop.in\")
    set(DIZADI_ENTRY_FOLDER \"${CMAKE_BINARY_DIR}/install-command\")
")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/InstallMenuEntry.cmake)
