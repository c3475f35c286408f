# What a Debian system expects beside the programs (manual pages, the user
# guide, copyright and changelog under /usr/share/doc/tarvelo2) and the
# package itself: `cpack -G DEB` in a configured build folder, which
# scripts/package runs.

set(TARVELO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tarvelo2)
set(TARVELO_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${TARVELO_MAN_DIR})
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A file compressed as Debian keeps documentation: gzip -9n, so the same
# text always gives the same bytes.
function(tarvelo_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()

set(debian_files ${TARVELO_MAN_DIR}/changelog.Debian.gz)
tarvelo_gzip(${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/changelog
             ${TARVELO_MAN_DIR}/changelog.Debian.gz)

# The programs' pages are written by hand (docs/man); the build puts the
# release in and compresses them.
foreach(program tarvelo2 tarvelo2-cli hxm-sim)
  if(TARGET ${program})
    set(VERSION ${PROJECT_VERSION})
    configure_file(docs/man/${program}.1 ${TARVELO_MAN_DIR}/${program}.1 @ONLY)
    set(page ${TARVELO_MAN_DIR}/${program}.1.gz)
    tarvelo_gzip(${TARVELO_MAN_DIR}/${program}.1 ${page})
    list(APPEND debian_files ${page})
  endif()
endforeach()
add_custom_target(man_pages ALL DEPENDS ${debian_files})

list(FILTER debian_files INCLUDE REGEX "\\.1\\.gz$")
install(FILES ${debian_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES resources/debian/copyright ${TARVELO_MAN_DIR}/changelog.Debian.gz
        DESTINATION ${TARVELO_DOC_DIR})
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/docs/guide.md)
  install(FILES docs/guide.md docs/archive.md DESTINATION ${TARVELO_DOC_DIR})
  install(DIRECTORY docs/shots DESTINATION ${TARVELO_DOC_DIR} OPTIONAL)
endif()
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/docs/licences)
  install(DIRECTORY docs/licences DESTINATION ${TARVELO_DOC_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvelo2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quellmarsh)
set(CPACK_PACKAGE_CONTACT "Tarvelo2 developers <tarvelo2@quellmarsh.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion application for HXM phase-sensitive multimeters")
# The summary is the synopsis; CPack indents each line of the long
# description below it as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarvelo2 configures HXM4100 and HXM6300 multimeters, runs frequency-response
and LCR sweeps, finds gain and phase margins, analyses piezoelectric
resonators and keeps the tests in an SQLite database. The package holds the
desktop application, its command-line companion tarvelo2-cli and the
instrument simulator hxm-sim for practice without an instrument.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/package)
# Everything installed without a component; the Python module (component
# "python") is not in the package.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_CURRENT_BINARY_DIR};tarvelo2;Unspecified;/")
include(CPack)
