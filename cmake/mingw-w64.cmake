# Cross-compiling for 64-bit Windows with Debian 12's MinGW-w64 (posix thread model, which
# std::thread and Qt need). The Qt for Windows prefix comes from TOLVAR_QT_WIN_PREFIX, so that
# find_package(Qt6) looks there and not at the host's Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOLVAR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLVAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVAR_MINGW_TRIPLET}-windres)

# try_compile projects get a fresh cache: hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOLVAR_QT_WIN_PREFIX)
if(NOT TOLVAR_QT_WIN_PREFIX AND DEFINED ENV{TOLVAR_QT_WIN_PREFIX})
    set(TOLVAR_QT_WIN_PREFIX "$ENV{TOLVAR_QT_WIN_PREFIX}")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVAR_MINGW_TRIPLET})
if(TOLVAR_QT_WIN_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH "${TOLVAR_QT_WIN_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
