# Run by cpack while it stages the .deb: puts what only the Debian package
# carries under the package's prefix (file() puts DESTDIR, the staging
# folder, in front of it): its changelog, changelog.Debian.gz
# (CPACK_ZANDRETH_CHANGELOG, set in package.cmake), and lintian's overrides
# (CPACK_ZANDRETH_LINTIAN_OVERRIDES). A plain `cmake --install` leaves them
# out.
file(INSTALL "${CPACK_ZANDRETH_CHANGELOG}"
     DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/zandreth")
file(INSTALL "${CPACK_ZANDRETH_LINTIAN_OVERRIDES}"
     DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides"
     RENAME zandreth)
