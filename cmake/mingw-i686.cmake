# Cross-compiles for 32-bit Windows (i686) with Debian's MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZARVO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
