# SPDX-License-Identifier: MIT
# Run by CPack on the staged files before it packs them: a Debian package
# carries its licence as share/doc/PACKAGE/copyright.
if(CPACK_GENERATOR STREQUAL "DEB")
    file(GLOB_RECURSE licences "${CPACK_TEMPORARY_DIRECTORY}/*")
    list(FILTER licences INCLUDE REGEX "/doc/vertlin/LICENSE$")
    foreach(licence IN LISTS licences)
        get_filename_component(directory ${licence} DIRECTORY)
        file(RENAME ${licence} ${directory}/copyright)
    endforeach()
endif()
