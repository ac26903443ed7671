# What a Linux desktop and its package tools expect beside the programs: the desktop entry,
# the icons and the AppStream file under one application id, compressed man pages, and the
# copyright and changelog of the Debian package.
include(GNUInstallDirs)
set(generated ${PROJECT_BINARY_DIR}/generated)

if(ZENTROVA_BUILD_GUI)
  configure_file(resources/example.ovrani.Zentrova.desktop.in
                 ${generated}/${ZENTROVA_APP_ID}.desktop @ONLY)
  configure_file(resources/example.ovrani.Zentrova.metainfo.xml.in
                 ${generated}/${ZENTROVA_APP_ID}.metainfo.xml @ONLY)
  # zentrova-open, the handler of special links clicked anywhere; no menu shows it.
  configure_file(resources/example.ovrani.Zentrova.Open.desktop.in
                 ${generated}/${ZENTROVA_APP_ID}.Open.desktop @ONLY)
  install(FILES ${generated}/${ZENTROVA_APP_ID}.desktop ${generated}/${ZENTROVA_APP_ID}.Open.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${generated}/${ZENTROVA_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 48)
    install(FILES resources/icons/generated/app-${size}-32.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${ZENTROVA_APP_ID}.png)
  endforeach()
  install(FILES resources/icons/app.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${ZENTROVA_APP_ID}.svg)
  set(man_pages zentrova.1 zentrova-cli.1 zentrova-open.1)
else()
  set(man_pages zentrova-cli.1)
endif()

# gzip -n keeps names and times out, so the same sources always give the same package.
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(page ${man_pages})
  configure_file(docs/man/${page}.in ${generated}/man/${page} @ONLY)
  add_custom_command(OUTPUT ${generated}/man/${page}.gz
                     COMMAND ${GZIP} -9nkf ${generated}/man/${page}
                     DEPENDS ${generated}/man/${page})
  list(APPEND compressed ${generated}/man/${page}.gz)
endforeach()
add_custom_command(OUTPUT ${generated}/changelog.gz
                   COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
                           > ${generated}/changelog.gz
                   DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
add_custom_target(zentrova_docs ALL DEPENDS ${compressed} ${generated}/changelog.gz)
install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The client's page in Chinese too, where man looks under a Chinese locale.
configure_file(docs/man/zh_CN/zentrova-cli.1.in ${generated}/man/zh_CN/zentrova-cli.1 @ONLY)
add_custom_command(OUTPUT ${generated}/man/zh_CN/zentrova-cli.1.gz
                   COMMAND ${GZIP} -9nkf ${generated}/man/zh_CN/zentrova-cli.1
                   DEPENDS ${generated}/man/zh_CN/zentrova-cli.1)
add_custom_target(zentrova_docs_zh_CN ALL DEPENDS ${generated}/man/zh_CN/zentrova-cli.1.gz)
install(FILES ${generated}/man/zh_CN/zentrova-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/zh_CN/man1)
install(FILES cmake/debian/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentrova)  # the package's name
