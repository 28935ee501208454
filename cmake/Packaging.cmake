# A Debian package of the installed application: `cpack -G DEB` in the build folder
# (scripts/package.sh does it all).
set(CPACK_PACKAGE_NAME dormivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VENDOR "Dormivo developers")
set(CPACK_PACKAGE_CONTACT "Dormivo developers <dormivo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "countdown that shuts down, restarts or launches programs")
set(CPACK_PACKAGE_DESCRIPTION
    "Type a period in minutes or hours, pick an action and press Start: when the countdown runs out, Dormivo shuts down, restarts, logs off, suspends or hibernates the computer, or starts a list of programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Depends come from the libraries the program links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The power helper asks logind through systemd's tools; qt6-wayland lets the window run natively
# in a Wayland session (without it Qt falls back to XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "systemd, qt6-wayland")
include(CPack)
