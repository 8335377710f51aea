# Debian package of both programs, the desktop entry and the icon:
#   cmake --build build --target package   ->  build/zirared_2.0.0_<arch>.deb
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zirared")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Zirared developers")
set(CPACK_PACKAGE_CONTACT "Zirared developers <zirared@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Divide un file in parti e le riassembla")
# One string: separate arguments would be joined as a CMake list, with ';' between the lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Zirared divides a file of any kind into numbered pieces of a chosen size, so that\n"
    "it fits on small media or through mailboxes with size limits, and joins the pieces\n"
    "back into the original, byte for byte. Italian interface; a Qt window (zirared)\n"
    "and a terminal tool (zirared-cli).")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Library dependencies come from the binaries themselves; the font is loaded by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The build keeps debug information (RelWithDebInfo); the installed programs do not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
include(CPack)
