# A Debian package of the window program and the command-line client: cpack -G DEB in the
# build folder writes zentrova_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME zentrova)
set(CPACK_PACKAGE_VENDOR Ovrani)
set(CPACK_PACKAGE_CONTACT "Ovrani <ovrani@ovrani.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts download addresses to and from Thunder, FlashGet and QQ Whirlwind links")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# The Qt libraries with their platform plugins, and a font that holds the Chinese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins, fonts-wqy-microhei | fonts-noto-cjk | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
