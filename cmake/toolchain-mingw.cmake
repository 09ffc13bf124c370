# Windows through mingw-w64 with the posix thread model (GoogleTest needs std::mutex). Included by
# the per-architecture toolchain files, which set ZANTREL_MINGW_TRIPLE and ZANTREL_WINE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZANTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZANTREL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZANTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# SSE2 doubles round exactly as on x86-64; x87 extended precision could flip an inside test.
# GCC may spill AVX registers to stack slots it takes for 32-byte aligned where Windows aligns the
# stack to 16 bytes only; the assembler turns its aligned vector moves into unaligned ones.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -Wa,-muse-unaligned-vector-move")
# Every .exe runs under Wine with nothing beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANTREL_WINE})
