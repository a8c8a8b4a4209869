# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. The posix thread
# model: Qt's threads and std::thread need it (the win32 model has no
# std::mutex in GCC 12).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(TORSA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TORSA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORSA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TORSA_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${TORSA_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TORSA_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers only from the MinGW sysroot and the prefixes given;
# programs (moc, rcc, uic) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TORSA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
