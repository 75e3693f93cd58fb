# SPDX-License-Identifier: MIT
# vertlin_install_gzipped(FILE DESTINATION): installs FILE compressed as
# FILE.gz where gzip exists (as distributions keep manual pages and change
# logs: best compression, no name or time stamp inside, so the result is the
# same in every build), and FILE itself where it does not.
find_program(VERTLIN_GZIP gzip)

function(vertlin_install_gzipped file destination)
    if(NOT VERTLIN_GZIP)
        install(FILES ${file} DESTINATION ${destination})
        return()
    endif()
    get_filename_component(name ${file} NAME)
    string(MAKE_C_IDENTIFIER "${destination}/${name}" id)
    set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/gz/${id}/${name}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E copy ${file} ${CMAKE_CURRENT_BINARY_DIR}/gz/${id}/${name}
        COMMAND ${VERTLIN_GZIP} -9 -n -f ${CMAKE_CURRENT_BINARY_DIR}/gz/${id}/${name}
        DEPENDS ${file} VERBATIM)
    add_custom_target(gzip_${id} ALL DEPENDS ${gzipped})
    install(FILES ${gzipped} DESTINATION ${destination})
endfunction()
