# The program in one directory that belongs to root, whose Kurulum.ini sends the server to the
# restaurant's files in /var/lib/velmora (made by the postinst), an XDG autostart entry for
# desktop sessions, a systemd unit for headless machines, and a Debian package of it all.
set(VELMORA_INSTALL_DIR "opt/velmora" CACHE STRING "Where the server is installed")

install(TARGETS velmora velmora-terminal velmora-preview
    RUNTIME DESTINATION ${VELMORA_INSTALL_DIR})
install(FILES README.md packaging/Kurulum.ini docs/velmora.rules.yml
    DESTINATION ${VELMORA_INSTALL_DIR})
install(FILES packaging/velmora.desktop DESTINATION etc/xdg/autostart)
install(FILES packaging/velmora.service DESTINATION lib/systemd/system)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora <dev@velmora.local>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Restaurant print server for kitchen tickets and bills")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, unixodbc, adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, cups, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/../packaging/preinst
    ${CMAKE_CURRENT_LIST_DIR}/../packaging/postinst ${CMAKE_CURRENT_LIST_DIR}/../packaging/prerm
    ${CMAKE_CURRENT_LIST_DIR}/../packaging/postrm)
# The maintainer scripts must stay executable even from a checkout that lost the file's mode.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debug information would make up most of the package.
set(CPACK_STRIP_FILES ON)
include(CPack)
