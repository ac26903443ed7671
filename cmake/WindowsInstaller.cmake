# The Windows packages. cpack -G NSIS in the build folder writes Zentrova-<version>-win64.exe, a
# 64-bit Unicode NSIS installer that installs under Program Files, adds a Start-menu shortcut
# and registers its uninstaller (both take /S); the command-line client is a component the
# user can leave out, and a page offers to add the folder to the PATH. cpack -G ZIP writes
# Zentrova-<version>-win64.zip, a portable copy: both programs, a short Chinese 说明.txt and the
# terms of use.
set(CPACK_GENERATOR NSIS ZIP)
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
# The default 32-bit stub does not run where there is only 64-bit Windows (or Wine). With
# components CPack fills CPACK_NSIS_DEFINES with its own, so the line rides on the compressor's,
# where the defines used to stand.
set(CPACK_NSIS_COMPRESSOR "lzma\n  Target amd64-unicode")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/generated/app.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icons/generated/app.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${ZENTROVA_NAME}.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${ZENTROVA_HOMEPAGE})
set(CPACK_NSIS_CONTACT ${ZENTROVA_CONTACT})
# A Start-menu shortcut to the program, which sits at the top of the installation folder.
set(CPACK_PACKAGE_EXECUTABLES ${ZENTROVA_NAME} ${ZENTROVA_NAME})
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_STRIP_FILES ON)

set(CPACK_COMPONENTS_ALL program cli)
set(CPACK_COMPONENT_PROGRAM_DISPLAY_NAME "Zentrova 窗口程序")
set(CPACK_COMPONENT_PROGRAM_REQUIRED ON)
set(CPACK_COMPONENT_CLI_DISPLAY_NAME "命令行程序 zentrova-cli")
set(CPACK_COMPONENT_CLI_DESCRIPTION "供脚本和批量转换使用的命令行程序，与窗口程序放在同一文件夹")
# The template's own page asks whether to add to the PATH, but adds a bin folder that this
# layout does not have: the installation folder itself is added, and removed again, instead.
set(CPACK_NSIS_MODIFY_PATH ON)
# The three schemes of links clicked anywhere, given to zentrova-open.exe as the options page's
# check boxes (or /ASSOCIATE= in a silent install) say, and put back as they were by the
# uninstaller (cmake/nsis/url_protocols.nsh).
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "StrCmp $DO_NOT_ADD_TO_PATH '1' +3 0
  Push '$INSTDIR'
  Call AddToPath
  !insertmacro ZentrovaRegister thunder 6
  !insertmacro ZentrovaRegister flashget 7
  !insertmacro ZentrovaRegister qqdl 8")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro ZentrovaCanRestore thunder
  !insertmacro ZentrovaCanRestore flashget
  !insertmacro ZentrovaCanRestore qqdl
  Push '$INSTDIR'
  Call un.RemoveFromPath
  !insertmacro ZentrovaRestore thunder
  !insertmacro ZentrovaRestore flashget
  !insertmacro ZentrovaRestore qqdl")
# The installer's own pages in the language of the rest of it: the terms of use instead of
# CPack's "no license provided", and the PATH page in Chinese, without the template's
# desktop-icon box, which makes no icon when no program is named for one. CPack's template is
# used with three changes: the page's title, and its settings file (cmake/nsis) written out as
# UTF-16 when the installer starts, since Windows reads a settings file that is not UTF-16 in
# the system's ANSI code page, where Chinese is lost outside China.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/resources/windows/许可协议.txt)
set(nsis_folder ${PROJECT_BINARY_DIR}/nsis)
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis_template)
function(zentrova_replace_in_nsis_template old new)
  string(FIND "${nsis_template}" "${old}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "CPack's NSIS template no longer holds the line to replace: ${old}")
  endif()
  string(REPLACE "${old}" "${new}" nsis_template "${nsis_template}")
  set(nsis_template "${nsis_template}" PARENT_SCOPE)
endfunction()
zentrova_replace_in_nsis_template(
  [[!insertmacro MUI_HEADER_TEXT "Install Options" "Choose options for installing @CPACK_NSIS_PACKAGE_NAME@"]]
  [[!insertmacro MUI_HEADER_TEXT "安装选项" "选择 @CPACK_NSIS_PACKAGE_NAME@ 的安装选项"]])
zentrova_replace_in_nsis_template([[!include Sections.nsh]] "!include Sections.nsh
  !define ZENTROVA_SAVED \"Software\\@CPACK_PACKAGE_VENDOR@\\@CPACK_PACKAGE_INSTALL_REGISTRY_KEY@\\UrlProtocols\"
  !include \"${PROJECT_SOURCE_DIR}/cmake/nsis/url_protocols.nsh\"")
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/nsis/NSIS.InstallOptions.ini.in options_lines
     ENCODING UTF-8)
# The schemes' check boxes start as the switch or the registrations found say.
set(write_options "Call ZentrovaChooseSchemes
    InitPluginsDir
    FileOpen $0 \"$PLUGINSDIR\\NSIS.InstallOptions.ini\" w
")
set(bom "/BOM ")
foreach(line IN LISTS options_lines)
  string(REPLACE "$" "$$" line "${line}")
  string(REPLACE "\"" "$\\\"" line "${line}")
  string(REGEX REPLACE "@take_([a-z]+)@" "$ZentrovaTake_\\1" line "${line}")
  string(APPEND write_options "    FileWriteUTF16LE ${bom}$0 \"${line}$\\r$\\n\"
")
  set(bom "")
endforeach()
string(APPEND write_options "    FileClose $0")
zentrova_replace_in_nsis_template([[!insertmacro MUI_INSTALLOPTIONS_EXTRACT "NSIS.InstallOptions.ini"]]
                                  "${write_options}")
file(WRITE ${nsis_folder}/NSIS.template.in "${nsis_template}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/nsis/NSIS.InstallOptions.ini.in
               ${nsis_folder}/NSIS.InstallOptions.ini.in COPYONLY)
set(CPACK_MODULE_PATH ${nsis_folder})
# The portable copy's note and terms go into the ZIP only (the installer shows the terms).
install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/说明.txt
              ${PROJECT_SOURCE_DIR}/resources/windows/许可协议.txt
        DESTINATION . COMPONENT portable)
configure_file(${PROJECT_SOURCE_DIR}/cmake/WindowsPackages.cmake.in
               ${PROJECT_BINARY_DIR}/WindowsPackages.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/WindowsPackages.cmake)
include(CPack)
