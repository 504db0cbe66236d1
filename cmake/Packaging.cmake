# Install rules and CPack: on Windows a zip of both programs with the user's guide, the licence
# and the samples (README.txt and LICENSE.txt with CR LF line ends); natively a .tar.gz and a
# .deb of kelvane-convert with its man page. `cmake --build --preset NAME --target package`.
set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelvane developers")
set(CPACK_PACKAGE_CONTACT "Kelvane developers <kelvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert DRT exports into tables of frequency against gamma times area")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    configure_file(packaging/README.txt.in ${packaging_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(LICENSE ${packaging_dir}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

    install(TARGETS Kelvane kelvane-convert RUNTIME DESTINATION .)
    install(FILES ${packaging_dir}/README.txt ${packaging_dir}/LICENSE.txt DESTINATION .)
    # The samples keep their line ends: two files in CR LF, one in LF, as users' files come.
    install(DIRECTORY samples/ DESTINATION samples FILES_MATCHING PATTERN "*.txt"
                                                                  PATTERN "README.md")

    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(windows_kind win32)
    else()
        set(windows_kind win64)
    endif()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${windows_kind})
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    include(GNUInstallDirs)
    find_program(KELVANE_GZIP gzip REQUIRED)

    # The man page, gzipped as Debian installs man pages (-n: no name or time, the same bytes
    # on every build).
    configure_file(packaging/kelvane-convert.1.in ${packaging_dir}/man/kelvane-convert.1 @ONLY)
    add_custom_command(
        OUTPUT ${packaging_dir}/kelvane-convert.1.gz
        COMMAND ${KELVANE_GZIP} -9 -n -f -k ${packaging_dir}/man/kelvane-convert.1
        COMMAND ${CMAKE_COMMAND} -E rename ${packaging_dir}/man/kelvane-convert.1.gz
                ${packaging_dir}/kelvane-convert.1.gz
        DEPENDS ${packaging_dir}/man/kelvane-convert.1
        COMMENT "Compressing the man page"
        VERBATIM)
    add_custom_target(kelvane-convert-man ALL DEPENDS ${packaging_dir}/kelvane-convert.1.gz)

    set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/kelvane-convert)
    install(TARGETS kelvane-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${packaging_dir}/kelvane-convert.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES LICENSE DESTINATION ${doc_dir} RENAME copyright)
    install(FILES CHANGELOG.md DESTINATION ${doc_dir})

    set(CPACK_GENERATOR TGZ DEB)
    set(CPACK_PACKAGE_NAME kelvane-convert)
    string(TOLOWER ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR} native_kind)
    set(CPACK_PACKAGE_FILE_NAME kelvane-convert-${PROJECT_VERSION}-${native_kind})

    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION science)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The summary above is the synopsis line; this is the extended description.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "kelvane-convert reads the exports of distribution-of-relaxation-times
analysis (white-space, comma- and semicolon-separated, UTF-16) and writes
beside each one a table of frequency 1/(2 pi tau) in hertz against gamma
multiplied by the electrode area, replacing an earlier output only once
the new one is complete.")
endif()

include(CPack)
