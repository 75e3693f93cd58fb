# SPDX-License-Identifier: MIT
# The Windows release (scripts/windows.sh): an icon and a version resource in
# both programs, and beside them in bin/ what they need on a machine without
# Qt: Qt's DLLs, the MinGW runtime, the platform and style plugins, Qt's
# Russian translations, a qt.conf that points Qt at them, and the Russian
# dictionary of the spelling check. The README, the licence and the notices
# of the others' parts go to the top folder; `cpack` makes the zip and the
# installer.

# The version as Windows programs of this family show it: 2.00.0015.
math(EXPR minor "100 + ${PROJECT_VERSION_MINOR}")
math(EXPR patch "10000 + ${PROJECT_VERSION_PATCH}")
string(SUBSTRING ${minor} 1 2 minor)
string(SUBSTRING ${patch} 1 4 patch)
set(VERTLIN_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${minor}.${patch}")

set(VERTLIN_RC_ICON ${PROJECT_SOURCE_DIR}/data/icons/vertlin.ico)
foreach(program vertlin vertlin-convert)
    set(VERTLIN_RC_NAME ${program})
    set(VERTLIN_RC_FILE ${program}.exe)
    if(program STREQUAL vertlin)
        set(VERTLIN_RC_DESCRIPTION "Vertlin: Russian typed in Latin letters to Cyrillic and back")
    else()
        set(VERTLIN_RC_DESCRIPTION "Vertlin converter for files and pipes")
    endif()
    configure_file(windows/version.rc.in ${program}.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc
                 TARGET_DIRECTORY ${program} APPEND PROPERTY OBJECT_DEPENDS ${VERTLIN_RC_ICON})
endforeach()

set(bin ${VERTLIN_PROGRAM_DIR})
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION ${bin})
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${file}")
        message(FATAL_ERROR "The MinGW runtime ${runtime} was not found")
    endif()
    install(FILES ${file} DESTINATION ${bin})
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION ${bin}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION ${bin}/styles)
install(FILES windows/qt.conf DESTINATION ${bin})
# The DLLs come with symbol tables that Windows never reads: without them the
# release unpacks to half its size.
install(CODE "
    file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${bin}/*.dll\")
    foreach(dll IN LISTS dlls)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")

# Qt's translations are the same files on every platform; a cross-built Qt
# has none, so they come from the build machine's Qt.
find_file(VERTLIN_QT_RUSSIAN qtbase_ru.qm
          PATHS ${VERTLIN_QT_TRANSLATIONS} /usr/share/qt6/translations
          NO_CACHE NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT VERTLIN_QT_RUSSIAN)
    message(FATAL_ERROR "qtbase_ru.qm not found: install qt6-translations-l10n, "
                        "or set VERTLIN_QT_TRANSLATIONS to its folder")
endif()
install(FILES ${VERTLIN_QT_RUSSIAN} DESTINATION ${bin}/translations)

# The spelling check's Russian dictionary, from the build machine's
# hunspell-ru, beside the programs; in the build tree too, where the tests
# under Wine use it.
set(notice_names Qt MinGW-runtime MinGW-winpthreads)
set(notice_files /usr/share/doc/libqt6core6/copyright
                 /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright
                 /usr/share/doc/mingw-w64-common/copyright)
if(VERTLIN_SPELLING)
    foreach(part aff dic)
        file(REAL_PATH /usr/share/hunspell/ru_RU.${part} file)
        if(NOT EXISTS ${file})
            message(FATAL_ERROR "${file} not found: install hunspell-ru")
        endif()
        install(FILES ${file} DESTINATION ${bin} RENAME ru_RU.${part})
        set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ru_RU.${part})
        add_custom_command(OUTPUT ${copy} COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
                           DEPENDS ${file})
        list(APPEND dictionary ${copy})
    endforeach()
    add_custom_target(vertlin_dictionary ALL DEPENDS ${dictionary})
    add_dependencies(vertlin-convert vertlin_dictionary)
    # scripts/windows.sh builds Hunspell into a prefix with its notice.
    cmake_path(GET HUNSPELL_INCLUDE_DIR PARENT_PATH hunspell_prefix)
    list(APPEND notice_names Hunspell ru_RU-dictionary)
    list(APPEND notice_files ${hunspell_prefix}/share/doc/hunspell/copyright
                             /usr/share/doc/hunspell-ru/copyright)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
# What the release holds of others' work goes with its licence: the copyright
# files of the Debian packages it was built from (Qt's lists the libraries
# it bundles), in licenses\.
foreach(name file IN ZIP_LISTS notice_names notice_files)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "The licence notice ${file} was not found")
    endif()
    install(FILES ${file} DESTINATION licenses RENAME ${name}.txt)
endforeach()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vertlin)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_PACKAGE_EXECUTABLES vertlin Vertlin)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${bin})
set(CPACK_NSIS_INSTALLED_ICON_NAME "${bin}\\\\vertlin.exe")
set(CPACK_NSIS_MUI_ICON ${VERTLIN_RC_ICON})
set(CPACK_NSIS_MUI_UNIICON ${VERTLIN_RC_ICON})
set(CPACK_NSIS_DISPLAY_NAME Vertlin)
set(CPACK_NSIS_PACKAGE_NAME Vertlin)
set(CPACK_NSIS_URL_INFO_ABOUT ${PROJECT_HOMEPAGE_URL})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program (and for a 64-bit-only Wine).
set(CPACK_NSIS_DEFINES "Unicode true\nTarget amd64-unicode")
