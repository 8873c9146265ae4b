# A Debian package of the installed files: `cpack -G DEB` in a build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Varnhollow)
set(CPACK_PACKAGE_CONTACT "Varnhollow <varnhollow@quorvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Spell assistant for Runeclasp duels")
set(CPACK_PACKAGE_DESCRIPTION
    "Type the gestures made so far in a Runeclasp (Palmoria) duel and see at once which\n\
spells those last moves can still become, with a spell reference in English, Italian and\n\
Spanish.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://quorvane.example/)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The shared libraries come from dpkg-shlibdeps; the platform plugins that draw on X11 or
# Wayland and the fonts the window registers are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-wine, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
