# Where an installed programmer keeps its files, and the Debian package.
#
#   bin/                                   vireo-programmer, vireo, vireo-board
#   share/vireo-programmer/                default.tv2, defaulti.tv2 (the window falls back
#                                          to these when its working directory has none)
#   share/applications/                    com.tervalo.VireoProgrammer.desktop
#   share/icons/hicolor/NxN/apps/          com.tervalo.VireoProgrammer.png (and scalable/ .svg)
#   share/metainfo/                        com.tervalo.VireoProgrammer.metainfo.xml
#   share/mime/packages/                   com.tervalo.VireoProgrammer.xml (*.tv2 files; dpkg's
#                                          trigger of shared-mime-info brings the database up to date)
#   share/man/man1/                        vireo-programmer.1, vireo.1, vireo-board.1
#   share/doc/vireo-programmer/manual/     the user manual (HTML); Help > Contents finds it
#                                          from the program's folder as ../share/doc/...
#   share/doc/vireo-programmer/PX472.chm   the same as a help file, when chmcmd is installed
include(GNUInstallDirs)

set(VIREO_APP_ID com.tervalo.VireoProgrammer)
set(VIREO_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vireo-programmer)
set(VIREO_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vireo-programmer)

# Link this to know where the installed default data files are.
add_library(vireo_install_paths INTERFACE)
target_compile_definitions(vireo_install_paths INTERFACE
  VIREO_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/vireo-programmer")

install(TARGETS vireo-programmer vireo vireo-board RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB VIREO_DEFAULT_DATA_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*.tv2)
install(FILES ${VIREO_DEFAULT_DATA_FILES} DESTINATION ${VIREO_INSTALL_DATA_DIR})

# Desktop entry (it opens *.tv2 files), their MIME type, icons, AppStream metadata.
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${VIREO_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/mime/${VIREO_APP_ID}.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/data/appstream/${VIREO_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${VIREO_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(VIREO_ICON_SIZES 16 32 48 64 128 256)
set(VIREO_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(VIREO_ICON_FILES)
foreach(size ${VIREO_ICON_SIZES})
  list(APPEND VIREO_ICON_FILES ${VIREO_ICON_DIR}/${size}x${size}.png)
endforeach()
# vireo-scale-icon is one of the tools (tools/CMakeLists.txt).
add_custom_command(OUTPUT ${VIREO_ICON_FILES}
  COMMAND vireo-scale-icon ${PROJECT_SOURCE_DIR}/data/pictures/icon.png ${VIREO_ICON_DIR} ${VIREO_ICON_SIZES}
  DEPENDS vireo-scale-icon ${PROJECT_SOURCE_DIR}/data/pictures/icon.png
  COMMENT "Scaling the program's icon")
add_custom_target(vireo_icons ALL DEPENDS ${VIREO_ICON_FILES})
foreach(size ${VIREO_ICON_SIZES})
  install(FILES ${VIREO_ICON_DIR}/${size}x${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VIREO_APP_ID}.png)
endforeach()

# Manual pages and the user manual.
# Debian keeps manual pages compressed.
set(VIREO_MAN_PAGES)
foreach(page vireo-programmer.1 vireo.1 vireo-board.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND VIREO_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(vireo_man_pages ALL DEPENDS ${VIREO_MAN_PAGES})
install(FILES ${VIREO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/
  DESTINATION ${VIREO_INSTALL_DOC_DIR}/manual
  FILES_MATCHING PATTERN "*.html" PATTERN "*.css")

include(${CMAKE_CURRENT_LIST_DIR}/HelpFile.cmake)
if(TARGET vireo_help_file)
  install(FILES ${VIREO_RUN_DIR}/PX472.chm DESTINATION ${VIREO_INSTALL_DOC_DIR})
endif()

# The Debian package: scripts/build-deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vireo-programmer)
set(CPACK_PACKAGE_VENDOR "Tervalo Systems")
set(CPACK_PACKAGE_CONTACT "Tervalo Systems <support@tervalo.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programmer for Tervalo Vireo Logic Boards")
# The first line of the package's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A desktop programming tool for the Tervalo Vireo Logic Board, the control board
fitted inside a two-way radio that gives it talk groups and fleet dispatch,
paging codes, speed dialling, emergency and priority features. Connect the
board to a serial port, check the link, read the board's configuration, edit
it in one window, write it back, and keep configurations in *.tv2 files.

Serves the Alinco EJ-39D, Icom UT-105, Icom UT-117 (Vireo), Vertex VT-60
(Vireo) and Vertex VTP-50 boards. Includes the command-line tool vireo and
the virtual board vireo-board.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tervalo Systems <support@tervalo.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tervalo.com")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the window's platform
# plugins and the fonts it asks for (VIREO_FONT_PACKAGES). The serial port library
# is named as well, so the package asks for it whichever of the programs links the
# serial link.
list(JOIN VIREO_FONT_PACKAGES ", " VIREO_FONT_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6serialport6, qt6-qpa-plugins, ${VIREO_FONT_DEPENDS}")
# shared-mime-info gives *.tv2 files their type and desktop-file-utils tells the
# desktop that the programmer opens that type, so a double-click opens them here.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "man-db, shared-mime-info, desktop-file-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
