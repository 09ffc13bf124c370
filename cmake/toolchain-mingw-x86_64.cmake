# 64-bit Windows: the same program for Wine on machines that cannot run 32-bit x86 code at all.
# Debian's wine wrapper would pick the 32-bit loader whenever it is installed, so name wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZANTREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(ZANTREL_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
