# The MinGW-w64 runtime DLLs that every Windows binary of this build loads, as full paths.

set(VELMORA_MINGW_RUNTIME_DLLS)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    # The compiler echoes the bare name of a file it does not have.
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
    endif()
    get_filename_component(path "${path}" REALPATH)
    list(APPEND VELMORA_MINGW_RUNTIME_DLLS "${path}")
endforeach()
