# What `cmake --install` puts where, and the Debian package CPack builds from it
# (scripts/package.sh).
include(GNUInstallDirs)

install(TARGETS tolvar-utility tolvar-gateway-sim tolvar-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES examples/small.json examples/multi.json examples/maximal.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvar-utility/examples)
install(FILES tools/gateway-sim/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvar-utility
        RENAME gateway-sim.md)
install(FILES packaging/tolvar-utility.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The gateway picture, centred on a square canvas as icon themes want it.
install(FILES packaging/tolvar-utility-128.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME tolvar-utility.png)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvar-utility)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configuration utility for the Tolvar Modbus TCP / CANopen gateway, with a gateway simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "tolvar-utility reads the configuration of a Tolvar gateway over TCP, edits its network \
parameters and the PDO and SDO tables of up to ten CANopen slaves, shows the Modbus mapping and \
writes the configuration back. tolvar-cli does the same from scripts, for many gateways at \
once; tolvar-gateway-sim stands in for a gateway on 127.0.0.1.")
set(CPACK_PACKAGE_CONTACT "tolvar-utility developers <tolvar-utility@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries follow from the programs; the platform plugins (windows on X11 and Wayland) are
# loaded at run time, so no tool finds them.
find_program(TOLVAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TOLVAR_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), qt6-qpa-plugins")
endif()
include(CPack)
