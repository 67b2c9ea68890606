# The zip a technician unpacks on the restaurant's Windows machine: the server and its tools, the
# Qt and MinGW runtime libraries and the Qt plugins they load (found beside the executables),
# example ini files and a short guide. `cpack -G ZIP` in the build tree makes it.
include(${CMAKE_CURRENT_LIST_DIR}/MinGWRuntime.cmake)

install(TARGETS velmora velmora-terminal velmora-preview RUNTIME DESTINATION .)
install(FILES ${VELMORA_MINGW_RUNTIME_DLLS} DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Sql Qt6::PrintSupport
    Qt6::Network Qt6::HttpServer RUNTIME DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QODBCDriverPlugin Qt6::QSQLiteDriverPlugin
    LIBRARY DESTINATION sqldrivers)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QSchannelBackendPlugin LIBRARY DESTINATION tls)
# The libraries come with their symbols, which would make up most of the zip.
install(CODE "
    file(GLOB_RECURSE libraries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \${libraries}
        COMMAND_ERROR_IS_FATAL ANY)
")
install(FILES packaging/windows/Database.ini packaging/windows/Velmora.ini
    packaging/windows/OKUBENI.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_FILE_NAME velmora-windows-x64)
set(CPACK_STRIP_FILES ON)
include(CPack)
