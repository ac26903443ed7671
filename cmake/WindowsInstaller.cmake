# The Windows installer: cpack -G NSIS in the build folder writes
# Zentrova-<version>-win64.exe, a 64-bit Unicode NSIS installer that installs under Program
# Files, adds a Start-menu shortcut and registers its uninstaller. Both take /S.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME ${ZENTROVA_NAME})
set(CPACK_PACKAGE_VENDOR ${ZENTROVA_MAKER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "【快车+迅雷+旋风】的专用链接加密与解密")
set(CPACK_PACKAGE_FILE_NAME ${ZENTROVA_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${ZENTROVA_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${ZENTROVA_NAME})
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME ${ZENTROVA_NAME})
set(CPACK_NSIS_DISPLAY_NAME ${ZENTROVA_NAME})
# The default 32-bit stub does not run where there is only 64-bit Windows (or Wine).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/generated/app.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icons/generated/app.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${ZENTROVA_NAME}.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${ZENTROVA_HOMEPAGE})
set(CPACK_NSIS_CONTACT ${ZENTROVA_CONTACT})
# A Start-menu shortcut to the program, which sits at the top of the installation folder.
set(CPACK_PACKAGE_EXECUTABLES ${ZENTROVA_NAME} ${ZENTROVA_NAME})
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_STRIP_FILES ON)
include(CPack)
