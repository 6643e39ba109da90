# The Debian package, made by CPack from the install rules:
#   cmake --build build --target package     (or: cd build && cpack -G DEB)

# darvelle_program_output(target option output): `output` in the build folder
# is what the built `target` prints for `option`, made again whenever the
# target is; installed man pages and completions come from the programs' own
# option tables this way.
function(darvelle_program_output target option output)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${output})
  add_custom_command(OUTPUT ${file}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DOPTION=${option} -DOUTPUT=${file}
            -P ${PROJECT_SOURCE_DIR}/cmake/ProgramOutput.cmake
    DEPENDS ${target} ${PROJECT_SOURCE_DIR}/cmake/ProgramOutput.cmake
    COMMENT "Writing ${output} from ${target} ${option}" VERBATIM)
  add_custom_target(${target}_${option}_output ALL DEPENDS ${file})
endfunction()

set(DARVELLE_PACKAGE_MAINTAINER "Darvelle developers <dev@darvelle.invalid>" CACHE STRING
    "Maintainer of the Debian package, \"Name <address>\"")

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/copyright DESTINATION ${DARVELLE_INSTALL_DOCDIR})
configure_file(${packaging}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/packaging/changelog
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(darvelle_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${DARVELLE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME darvelle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Darvelle developers")
set(CPACK_PACKAGE_CONTACT "${DARVELLE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maps of solar eclipses from -4999 to 7000")
set(CPACK_PACKAGE_INSTALL_DIRECTORY darvelle)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/darvelle/darvelle)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DARVELLE_PACKAGE_MAINTAINER}")
# The libraries the binaries link, found by dpkg-shlibdeps; Ghostscript makes
# the PDF and ffmpeg the films, both run only when asked for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ghostscript, ffmpeg")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Darvelle holds a catalogue of Besselian elements for every solar eclipse
from the year -4999 to 7000, computes the geometry of each on the Earth
(contacts, limits, central line, sunrise and sunset curves) and draws it on
a globe. It tells what one place sees, plays the shadow in time and writes
reports, curve files, pictures, a PostScript map sheet, PDF, GeoJSON and KML.
.
This package holds the window program darvelle, the command-line tool
darvelle-cli and their data: the catalogue, an Earth texture, coastlines,
borders and a list of towns.")
include(CPack)
