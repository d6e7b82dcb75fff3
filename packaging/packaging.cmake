# The documents installed beside the program (copyright, changelog) and the Debian package that
# CPack makes from the install rules (scripts/release runs it: cpack -G DEB in the build folder).
set(VELMORA_MAINTAINER "Velmora developers <velmora@example.org>" CACHE STRING
  "Maintainer of the Debian package, as \"Name <address>\"")

set(debian_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${debian_changelog}
  COMMAND ${CMAKE_COMMAND} -DCHANGELOG=${CMAKE_SOURCE_DIR}/CHANGELOG.md "-DMAINTAINER=${VELMORA_MAINTAINER}"
    -DOUTPUT=${debian_changelog} -P ${CMAKE_SOURCE_DIR}/packaging/debian_changelog.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/packaging/debian_changelog.cmake
  COMMENT "Writing the package changelog from CHANGELOG.md"
  VERBATIM)
add_custom_target(velmora_changelog ALL DEPENDS ${debian_changelog})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${debian_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D presentation over a music track")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmora is a presentation in the demoscene tradition: eight timed 3D scenes
flown through over a streamed music track, 232 seconds long, drawn with
OpenGL 1.1 in immediate mode. Particle streams, electric arcs, pictures with
flashes and fades, and lines of extruded outline-font text fly in and out.
.
A small launch dialog asks for the resolution and for full-screen or windowed
display. It can also record itself to a video with its music, or to still
pictures of chosen moments, without a display.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY velmora)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps. No library dependency names the text font, which is
# read at run time, nor EGL, which SDL opens at run time to record without a display.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-roboto-unhinted, libegl1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
