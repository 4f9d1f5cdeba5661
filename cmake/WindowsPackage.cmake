# The Windows programs: their icon and version, and the folder the portable zip and
# the installer are made of (scripts/build-windows; cmake --install build-windows
# --prefix DIR):
#
#   vireo-programmer.exe, vireo.exe   the programs; scripts/build-windows adds the Qt
#                                     and MinGW DLLs they import and Qt's plugins
#   default.tv2, defaulti.tv2         the default data files (the window falls back to
#                                     these beside the program)
#   PX472.chm                         the help file, when chmcmd is installed
#   manual/                           the user manual (HTML), Help > Contents without a help viewer
#   fonts/                            the DejaVu Sans faces the window is laid out for
#                                     (Windows has none of them; the window loads these)
#   licenses/                         the licences of Qt, the MinGW runtime and the fonts
#   vireo-programmer.ico              the icon of *.tv2 files (the installer names it)
enable_language(RC)

# Windows keeps the default data files beside the program (DesktopHelp::installedDataDir).
add_library(vireo_install_paths INTERFACE)

# The window is a Windows program: no console beside it.
set_target_properties(vireo-programmer PROPERTIES WIN32_EXECUTABLE ON)

# Made by hand with tools/ScaleIcon.cpp from data/pictures/icon.png (16, 32, 48, 256).
set(VIREO_ICON_FILE ${PROJECT_SOURCE_DIR}/data/icons/com.tervalo.VireoProgrammer.ico)
set(VIREO_PROGRAM vireo-programmer)
set(VIREO_PROGRAM_DESCRIPTION "Vireo Logic Board Programmer")
configure_file(${PROJECT_SOURCE_DIR}/data/windows/program.rc.in ${CMAKE_BINARY_DIR}/vireo-programmer.rc @ONLY)
set(VIREO_PROGRAM vireo)
set(VIREO_PROGRAM_DESCRIPTION "Vireo Logic Board Programmer, command line")
configure_file(${PROJECT_SOURCE_DIR}/data/windows/program.rc.in ${CMAKE_BINARY_DIR}/vireo.rc @ONLY)
target_sources(vireo-programmer PRIVATE ${CMAKE_BINARY_DIR}/vireo-programmer.rc)
target_sources(vireo PRIVATE ${CMAKE_BINARY_DIR}/vireo.rc)

include(${CMAKE_CURRENT_LIST_DIR}/HelpFile.cmake)

install(TARGETS vireo-programmer vireo RUNTIME DESTINATION .)
file(GLOB VIREO_DEFAULT_DATA_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*.tv2)
install(FILES ${VIREO_DEFAULT_DATA_FILES} DESTINATION .)
if(TARGET vireo_help_file)
  install(FILES ${VIREO_RUN_DIR}/PX472.chm DESTINATION .)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION manual
  FILES_MATCHING PATTERN "*.html" PATTERN "*.css")
install(FILES ${VIREO_ICON_FILE} DESTINATION . RENAME vireo-programmer.ico)
# The faces boardFont() asks for, from Debian's fonts-dejavu-core and fonts-dejavu-extra:
# without them Windows gives the window another face, which may not fit its boxes.
set(VIREO_DEJAVU_DIR /usr/share/fonts/truetype/dejavu)
install(FILES ${VIREO_DEJAVU_DIR}/DejaVuSans.ttf ${VIREO_DEJAVU_DIR}/DejaVuSans-Bold.ttf
  ${VIREO_DEJAVU_DIR}/DejaVuSansCondensed.ttf ${VIREO_DEJAVU_DIR}/DejaVuSansCondensed-Bold.ttf DESTINATION fonts)
install(FILES /usr/share/doc/fonts-dejavu-core/copyright DESTINATION licenses RENAME dejavu-fonts-copyright.txt)
# Debian's copies of the licence texts, and the MinGW runtime's terms.
install(FILES ${PROJECT_SOURCE_DIR}/data/windows/THIRD-PARTY.txt DESTINATION licenses)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION licenses RENAME LGPL-3.0.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licenses RENAME GPL-3.0.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licenses RENAME gcc-runtime-copyright.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licenses RENAME mingw-w64-copyright.txt)
