# A Debian package of the window program and the command-line client: cpack -G DEB in the
# build folder writes zentrova_<version>_<arch>.deb, clean for lintian.
set(CPACK_PACKAGE_NAME zentrova)
set(CPACK_PACKAGE_VENDOR ${ZENTROVA_MAKER})
set(CPACK_PACKAGE_CONTACT "${ZENTROVA_MAKER} <${ZENTROVA_CONTACT}>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZENTROVA_HOMEPAGE})
# The first line is the synopsis; the rest, indented by CPack, the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "converter between download addresses and Thunder, FlashGet, QQ links
Zentrova turns a plain download address into the special link of one of
three download managers, Thunder (thunder://), FlashGet (flashget://) or
QQ Whirlwind (qqdl://), and turns any such link back into the address it
carries. Its window has a Simplified-Chinese interface and works through
the input box or the clipboard; addresses are converted through code page
936, as on a Chinese Windows desktop.
.
The package also holds zentrova-cli, which does the same conversions for
scripts and converts whole files to and from Base64 text, and zentrova-open,
which opens such a link clicked anywhere on the desktop and hands the
address it carries to the program chosen for it.")
# Libraries from the binaries themselves; the pieces Qt loads at run time by hand: its
# platform plugins, a font that holds the Chinese texts, and Wine's free Tahoma, the window's
# font, which the program loads itself; xdg-open, which zentrova-open hands addresses to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-wqy-microhei | fonts-noto-cjk | fonts-wqy-zenhei, fonts-wine, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
