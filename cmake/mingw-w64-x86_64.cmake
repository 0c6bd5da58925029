# Cross-builds for 64-bit Windows with Debian's mingw-w64. The -posix
# compilers, because Qt needs std::thread and friends.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KLADDO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KLADDO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KLADDO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KLADDO_MINGW_TRIPLE}-windres)

# The Qt for Windows that scripts/windows.sh builds; libraries and packages
# are looked for there and in the compiler's own tree, never in the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${KLADDO_MINGW_TRIPLE})
if(KLADDO_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${KLADDO_QT_WINDOWS})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KLADDO_QT_WINDOWS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
