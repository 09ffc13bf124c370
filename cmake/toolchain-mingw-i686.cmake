# 32-bit Windows: the build that ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZANTREL_MINGW_TRIPLE i686-w64-mingw32)
set(ZANTREL_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
