# The Windows test executables, test discovery included, run through the wrapper wine-run.
include(${CMAKE_CURRENT_LIST_DIR}/MinGWRuntime.cmake)

set(VELMORA_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(dll_directories "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
foreach(dll ${VELMORA_MINGW_RUNTIME_DLLS})
    get_filename_component(directory "${dll}" DIRECTORY)
    list(APPEND dll_directories "${directory}")
endforeach()
list(REMOVE_DUPLICATES dll_directories)
list(TRANSFORM dll_directories PREPEND "Z:")
list(JOIN dll_directories ";" VELMORA_WINEPATH)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
