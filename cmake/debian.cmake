# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by `cpack -G DEB` in a Release build configured
# with CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does all of it).

# Debian's own files: in share/doc/brevold the copyright in Debian's
# machine-readable form and a compressed changelog, the user guide's entry
# for doc-base, and lintian's overrides. They go in a component of their own
# that only the package asks for, so that `cmake --install` leaves them out.
configure_file(data/debian/copyright.in ${CMAKE_BINARY_DIR}/debian/copyright @ONLY)
configure_file(data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/debian/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES data/debian/guide.doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base
  RENAME brevold.brevold-guide COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME brevold COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevold)
set(CPACK_PACKAGE_VENDOR "The BREVOLD developers")
set(CPACK_PACKAGE_CONTACT "${BREVOLD_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The program, its data and documents, and Debian's own files; not the
# licence text, which the copyright file points to in /usr/share/common-licenses.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};brevold;Unspecified;/"
  "${CMAKE_BINARY_DIR};brevold;debian;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BREVOLD_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "simulator of a steam-locomotive valve gear
BREVOLD simulates one inside-admission valve gear of a steam locomotive.
Type in the gear's dimensions, watch it move to scale, change a dimension
live with a scroll bar, and read lead, cut-off, release and compression off
the port, steam, oval and sine diagrams. The valve events are tabulated by
reverse-arm setting, and a search finds dimensions that make them alike at
both ends of the cylinder.

The package holds the desktop program, brevold, and brevold-cli, which runs
the same model without a window: it solves the linkage, lists the valve
events, draws the pictures and diagrams as PNG, SVG or PDF, and converts
dimension files.")
include(CPack)
