# The window's Help > Contents opens PX472.chm in the working directory. Debian's
# chmcmd (package fp-utils) builds it from the manual; without chmcmd there is none.
find_program(VIREO_CHMCMD chmcmd)
if(VIREO_CHMCMD)
  file(GLOB VIREO_MANUAL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual/*)
  set(VIREO_CHM_WORK ${CMAKE_BINARY_DIR}/chm)
  # chmcmd writes the help file beside its project file, so it works on a copy.
  add_custom_command(OUTPUT ${VIREO_RUN_DIR}/PX472.chm
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VIREO_CHM_WORK}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/manual ${VIREO_CHM_WORK}
    COMMAND ${CMAKE_COMMAND} -E chdir ${VIREO_CHM_WORK} ${VIREO_CHMCMD} --verbosity 0 PX472.hhp
    COMMAND ${CMAKE_COMMAND} -E copy ${VIREO_CHM_WORK}/PX472.chm ${VIREO_RUN_DIR}/PX472.chm
    DEPENDS ${VIREO_MANUAL_FILES}
    COMMENT "Building the help file PX472.chm"
    VERBATIM)
  add_custom_target(vireo_help_file ALL DEPENDS ${VIREO_RUN_DIR}/PX472.chm)
else()
  message(STATUS "chmcmd not found: the help file PX472.chm is not built")
endif()
