# The Debian package: make deb runs CPack's DEB generator on the build folder.
# Everything comes from this project's own files; the version is the one of
# project() in the top CMakeLists.txt.
#
# What `cmake --install` puts in place (component "programs", plus the plain
# man page of component "man") is what the package holds, except that the
# package takes the man page gzipped, with one name per program, and adds the
# copyright file and changelog that Debian's tools look for (component "deb",
# which a plain install leaves out).

set(RUVELA_MAINTAINER "Ruvela maintainers <maintainers@ruvela.example>"
    CACHE STRING "Maintainer of the Debian package, as Name <address>")

set(_deb_dir ${CMAKE_BINARY_DIR}/deb)
set(_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/ruvela)

# Debian wants man pages and changelogs compressed with gzip -9n: no name or
# time stamp inside, so the same sources give the same package.
find_program(RUVELA_GZIP gzip REQUIRED)
string(TIMESTAMP RUVELA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${_deb_dir}/changelog @ONLY)
add_custom_command(
  OUTPUT ${_deb_dir}/ruvela.1.gz ${_deb_dir}/changelog.gz
  COMMAND ${RUVELA_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/docs/ruvela.1 > ${_deb_dir}/ruvela.1.gz
  COMMAND ${RUVELA_GZIP} -9n -c ${_deb_dir}/changelog > ${_deb_dir}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/ruvela.1 ${_deb_dir}/changelog
  VERBATIM)
add_custom_target(ruvela_deb_files ALL DEPENDS ${_deb_dir}/ruvela.1.gz ${_deb_dir}/changelog.gz)

# man Ruvela_v11 and man Ruvela_v12 open the one page that covers both.
foreach(_program Ruvela_v11 Ruvela_v12)
  file(CREATE_LINK ruvela.1.gz ${_deb_dir}/${_program}.1.gz SYMBOLIC)
endforeach()

install(FILES ${_deb_dir}/ruvela.1.gz ${_deb_dir}/Ruvela_v11.1.gz ${_deb_dir}/Ruvela_v12.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${_deb_dir}/changelog.gz
        DESTINATION ${_doc_dir} COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ruvela)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ruvela developers")
set(CPACK_PACKAGE_CONTACT "${RUVELA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package of the programs and the Debian files, without the plain man page.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL programs deb)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RUVELA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the built programs (dpkg-shlibdeps). PLplot loads
# its output drivers at run time, so no library names the cairo one that
# draws the PDF and PNG files and the screen windows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "plplot-driver-cairo")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "plplot-driver-xwin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "basal area and its increment from tree-ring widths")
# The summary above is the description's first line; CPack indents the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Ruvela reconstructs the growth of tree stems from radial tree-ring widths.
For every measured series (one core) of a ring-width file, and one
companion value per series (the rings missing to the pith, the stem
diameter, the distance to the pith, or a row of all three), it computes
year by year the cumulative basal area of the stem and the basal-area
increment, writes them as text and CSV tables, and draws two-panel plots.

Ring-width files are read in the decade measurement layout, the Heidelberg
format, delimited text and TRiDaS XML. The package holds the two editions
of the program, Ruvela_v11 and Ruvela_v12, their manual page, bash
completion and example data.")
include(CPack)
