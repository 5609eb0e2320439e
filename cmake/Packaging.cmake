# `cpack` in a build folder makes a Debian package of what `cmake --install` puts in place.
# The dependencies are named by hand, for Debian 12's packages: scripts/check-package.sh (the
# `package` test) compares them with the libraries the programs really load.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brumeleaf)
set(CPACK_PACKAGE_VENDOR Brumeleaf)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Brumeleaf developers <developers@brumeleaf.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn photographs into drawings and paintings")
set(CPACK_PACKAGE_DESCRIPTION "Brumeleaf draws a photograph as a pencil or ink sketch, a watercolour or
oil painting, a cartoon or a mosaic, with a live preview, frames, captions,
scripts and batches. The package holds the desktop program (brumeleaf) and
the command line (brumeleaf-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, zlib1g (>= 1:1.2.13), \
libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), \
qt6-qpa-plugins (>= 6.4), libjpeg62-turbo (>= 1:2.1), libpng16-16 (>= 1.6), libgif7 (>= 5.2), \
libcurl4 (>= 7.88), fonts-dejavu-core")
include(CPack)

if(TARGET brumeleaf)
  add_test(NAME package COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES TIMEOUT 300)
endif()
