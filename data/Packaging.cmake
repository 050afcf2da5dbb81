# `make package`: a Debian package of the installed tree, built by CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "Quillora Developers")
set(CPACK_PACKAGE_CONTACT "Quillora Developers <developers@quillora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "algebra practice worksheet maker")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillora makes algebra practice worksheets: pick a problem family and a form,\n"
    "or a mix of forms, and get a full page of fresh random problems laid out in\n"
    "columns, ready to edit, save as rich text and print. The families are\n"
    "fraction arithmetic, equations, equations with fractions, binomial products\n"
    "and factoring. Worksheets hold problems only, never answers.\n"
    "\n"
    "The quillora-sheet command makes the same worksheets from a seed, so a sheet\n"
    "can be made again and whole sets can be scripted.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries from dpkg-shlibdeps; plus what it cannot see because nothing links it: the font with
# Courier New's metrics, which worksheets need for their columns to line up; Qt's platform
# plug-ins, without which no window opens (Qt's GUI library only recommends them); Qt's SVG icon
# engine, which draws the scalable icon at any size; and the hicolor theme's index, without which
# neither the menu nor the program finds the installed icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation, qt6-qpa-plugins, libqt6svg6, hicolor-icon-theme")

include(CPack)
