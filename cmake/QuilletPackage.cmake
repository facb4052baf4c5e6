# The Debian package, made by CPack's DEB generator from what `cmake --install` installs, under
# /usr: in a configured build directory `cpack -G DEB` (or `cmake --build . --target package`)
# writes quillet_<version>_<arch>.deb. Run-time dependencies come from dpkg-shlibdeps; binaries
# are stripped; the staging step (debian/staging.cmake) compresses the manual pages and adds the
# changelog and copyright files that Debian's policy asks for.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

set(QUILLET_DEB_MAINTAINER "Quillet maintainers <maintainers@quillet.invalid>"
    CACHE STRING "The Debian package's maintainer: name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillet")
set(CPACK_PACKAGE_CONTACT "${QUILLET_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver that showcases its own software raster engine")
set(CPACK_PACKAGE_DESCRIPTION "Quillet fills the screen with stars of anti-aliased lines, bars,
triangles, splines, ellipses and Gouraud-shaded shapes, all drawn in plain
C++ by its own raster engine, and wipes the page after a set number of ticks.
It runs full screen, as a preview, in its settings dialog, or under
xscreensaver, whose settings dialog lists it once it is added to the programs
of ~/.xscreensaver. quillet-render draws pages without a display.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything is installed under the default component's name, so that the package's staging
# install keeps its manifest (install_manifest_Unspecified.txt) apart from that of
# `cmake --install`.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME};/")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/debian/staging.cmake")
set(QUILLET_DEB_COPYRIGHT "${CMAKE_CURRENT_LIST_DIR}/debian/copyright")
# The staging step reads these from the generated configuration.
set(CPACK_QUILLET_COPYRIGHT "${QUILLET_DEB_COPYRIGHT}")
set(CPACK_QUILLET_MANDIR "${CMAKE_INSTALL_MANDIR}")
set(CPACK_QUILLET_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/quillet")

include(CPack)
