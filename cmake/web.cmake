# The WebAssembly build (Emscripten): the app as zantrel.js + zantrel.wasm beside our own page,
# and the unit tests as Node.js programs that ctest runs.

# Emscripten's JavaScript optimiser needs the acorn module, which Debian keeps where this Node.js
# does not look by itself.
set(ZANTREL_NODE_PATH /usr/share/nodejs CACHE PATH "Folder of the Node.js modules emcc needs (acorn)")
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=${ZANTREL_NODE_PATH}")

# Node.js 20 has fetch, and Emscripten's loader then tries to fetch the .wasm as a URL although
# it is a file path; without fetch it reads the file.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch CACHE STRING "" FORCE)

# Test programs run under Node.js on the real file system (temporary files, JUnit output) and see
# the environment ctest gives them. Their code is optimised when compiled; optimising again at the
# link would cost half a minute per program for nothing a test needs.
set(ZANTREL_WEB_TEST_LINK_OPTIONS -O1 -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1 --pre-js ${CMAKE_SOURCE_DIR}/platform/native/web/program_environment.js)
