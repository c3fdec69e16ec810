# `make package`: a Debian package of everything `cmake --install` installs, its run-time
# dependencies found by dpkg-shlibdeps from the programs and modules themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovet)
set(CPACK_PACKAGE_VENDOR "Kovet")
set(CPACK_PACKAGE_CONTACT "Kovet developers <kovet@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "printable business forms: command-line tool and run-time widget library")
set(CPACK_PACKAGE_DESCRIPTION
  "Kovet reads, renders, fills in and prints one-page business forms (.kvt). This package holds the kovet command, the static libraries with their public headers, a CMake package (find_package(Kovet)) and a pkg-config file for programs that show and fill in forms with the Qt widget TKVTImage, and export them as fillable PDF forms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Forms name Arial and Courier New, which the Liberation fonts stand in for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-liberation2")
# Building against the headers needs Qt's development files, and giflib's for the linker;
# fillable PDF forms (Kovet::Pdf) need qpdf's.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-base-dev, qt6-svg-dev, libgif-dev")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqpdf-dev")
include(CPack)
