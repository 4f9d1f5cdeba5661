# Cross-compiling for 64-bit Windows on Debian with MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64). The posix thread model:
# std::thread and std::mutex need it, and Qt for Windows is built with it too.
# Used by scripts/build-qt-windows for Qt itself and by the windows preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(VIREO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VIREO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIREO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VIREO_MINGW_TRIPLET}-windres)

# Libraries and headers come from the MinGW sysroot and from the Windows Qt
# (named by CMAKE_PREFIX_PATH, searched as a root of its own); programs that run
# during the build (Qt's moc, rcc, uic) come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VIREO_MINGW_TRIPLET})
if(CMAKE_PREFIX_PATH)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
