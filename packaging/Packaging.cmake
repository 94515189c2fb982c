# What "cpack -G DEB" puts into pelorvanide_<version>_amd64.deb. The program and the files it looks
# for beside itself (skin, splash, help) live in lib/pelorvanide; the empty database is kept as the
# template the launcher copies into each user's data folder; the launcher, the menu entry and the
# icon make it a desktop program.
set(program_dir lib/pelorvanide)
install(TARGETS pelorvanide RUNTIME DESTINATION ${program_dir})
install(FILES ${CMAKE_BINARY_DIR}/MainDlgSrc.dat ${CMAKE_BINARY_DIR}/DOvozOzivodERU.dat
  ${CMAKE_BINARY_DIR}/rOzevURU2.html DESTINATION ${program_dir})
install(DIRECTORY ${CMAKE_BINARY_DIR}/rOzevURU2_files DESTINATION ${program_dir})
install(FILES ${PELORVANIDE_EMPTY_DB} DESTINATION share/pelorvanide)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/pelorvanide-launcher.sh DESTINATION bin RENAME pelorvanide)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/pelorvanide.desktop DESTINATION share/applications)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons)

set(CPACK_PACKAGE_NAME pelorvanide)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pelorvanide 开发组 <pelorvanide@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "票据管理 - books of a unit's pre-numbered receipt forms")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Keeps the books of a fee-collecting \
unit's stock of pre-numbered receipt forms: bill kinds, stock-in, issue to departments, return with the money \
collected, void and delete, operation documents, reports and user accounts with rights.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the window system as a plug-in, which the library scan cannot see; the Chinese font and
# Qt's Chinese texts make the windows readable.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
