# The WebAssembly build (Emscripten): the app as zantrel.js beside its page (app/web/), and the
# unit tests as Node.js programs that ctest runs.

# Emscripten's JavaScript optimiser needs the acorn module, which Debian keeps where this Node.js
# does not look by itself.
set(ZANTREL_NODE_PATH /usr/share/nodejs CACHE PATH "Folder of the Node.js modules emcc needs (acorn)")
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=${ZANTREL_NODE_PATH}")

# Node.js 20 has fetch, and Emscripten's loader then tries to fetch the .wasm as a URL although
# it is a file path; without fetch it reads the file.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch CACHE STRING "" FORCE)

# Bulk memory operations: copies and fills (a Blit, a Clear, a present) are one memory.copy or
# memory.fill instruction each, run at the machine's memcpy and memset speed, instead of loops.
# Loops over pixels run four at a time where the compiler can (128-bit SIMD, which the field
# kernels need anyway).
add_compile_options(-mbulk-memory -msimd128)
add_link_options(-mbulk-memory)

# Asyncify lets the message loop's wait give the browser its event loop back. Only the waiting
# path is instrumented: main (WinMain is inlined into it), GetMessageA, and the backend's wait,
# which calls the import that sleeps; no indirect call ever waits. Instrumenting every function
# that makes an indirect call, the default, slowed the frame's code and made the program a third
# larger.
set(ZANTREL_WEB_ASYNCIFY -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT=1)
set(ZANTREL_WEB_WAITING_PATH "-sASYNCIFY_ADD=main,GetMessageA*")

# The stack, set rather than left to the Emscripten release (newer ones give 64 KiB). The contour
# tracer keeps its corner flags (500000 bytes) and tables on it, and WebAssembly has no guard page
# that would stop an overflow: it would overwrite the program's data in silence. Newer Emscripten
# calls the setting STACK_SIZE.
set(ZANTREL_WEB_STACK -sTOTAL_STACK=2MB)

# Test programs run under Node.js on the real file system (temporary files, JUnit output) and see
# the environment ctest gives them. Their code is optimised when compiled; optimising again at the
# link would cost half a minute per program for nothing a test needs. They have the program's
# stack, checked at every call, so the deepest calls among them (the largest grid, the full mesh
# table) fail if it is too small.
set(ZANTREL_WEB_TEST_LINK_OPTIONS -O1 -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1 ${ZANTREL_WEB_STACK} -sSTACK_OVERFLOW_CHECK=2
    --pre-js ${CMAKE_SOURCE_DIR}/platform/native/web/program_environment.js)
