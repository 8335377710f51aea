# Debian package of both programs, the desktop entry, the icon, the MIME type of pieces, the
# manual pages and the documents Debian asks of every package:
#   cmake --build build --target package   ->  build/zirared_2.0.0_<arch>.deb

# A Debian package only comes from a Linux build (a cross-build for Windows has none).
if(WIN32)
  return()
endif()

# The version has no Debian revision (the package is built from this tree, not from an
# upstream release), which makes it a native package: its changelog is changelog.gz, not
# changelog.Debian.gz. Manual pages and the changelog go in gzipped with -9n: no name or
# time stamp in the archive, so the same sources give the same package.
find_program(ZIRARED_GZIP gzip REQUIRED)
set(zirared_gzipped)
function(zirared_gzip source output)
  add_custom_command(OUTPUT "${output}"
                     COMMAND "${ZIRARED_GZIP}" -9n -c "${source}" > "${output}"
                     DEPENDS "${source}" VERBATIM)
  set(zirared_gzipped ${zirared_gzipped} "${output}" PARENT_SCOPE)
endfunction()

set(zirared_doc_dir "${CMAKE_INSTALL_DATADIR}/doc/zirared")
set(zirared_man_pages zirared-cli)
if(ZIRARED_BUILD_WINDOW)
  list(APPEND zirared_man_pages zirared)
endif()
foreach(page IN LISTS zirared_man_pages)
  zirared_gzip("${PROJECT_SOURCE_DIR}/man/${page}.1" "${PROJECT_BINARY_DIR}/man/${page}.1.gz")
  install(FILES "${PROJECT_BINARY_DIR}/man/${page}.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endforeach()
zirared_gzip("${PROJECT_SOURCE_DIR}/packaging/changelog"
             "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/man" "${PROJECT_BINARY_DIR}/packaging")
add_custom_target(zirared_package_documents ALL DEPENDS ${zirared_gzipped})
install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
              "${PROJECT_SOURCE_DIR}/packaging/copyright"
        DESTINATION "${zirared_doc_dir}")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zirared")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Zirared developers")
set(CPACK_PACKAGE_CONTACT "Zirared developers <zirared@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Divide un file in parti e le riassembla")
# One string: separate arguments would be joined as a CMake list, with ';' between the lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Zirared divides a file of any kind into numbered pieces of a chosen size, so\n"
    "that it fits on small media or through mailboxes with size limits, and joins\n"
    "the pieces back into the original, byte for byte. Italian interface; a Qt\n"
    "window (zirared) and a terminal tool (zirared-cli).")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Library dependencies come from the binaries themselves; the font is loaded by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The build keeps debug information (RelWithDebInfo); the installed programs do not need it.
set(CPACK_STRIP_FILES ON)
# Qt's own texts (Yes, No, the file dialog) in Italian come from Debian's Qt translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
include(CPack)
