# CPack: `scripts/package` makes the Debian packages zantrel (the "programs" component) and
# zantrel-dev ("development") from the native build, from a Windows build a zip of its programs,
# which are statically linked and need nothing beside them, and from the WebAssembly build a zip
# of the page's folder. Each Debian description names its own synopsis in its first line.
set(CPACK_PACKAGE_NAME zantrel)
set(CPACK_PACKAGE_VENDOR "The Zantrel developers")
set(CPACK_PACKAGE_CONTACT "Zantrel developers <developers@zantrel.invalid>")
set(CPACK_STRIP_FILES ON)

if(EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME zantrel-${PROJECT_VERSION}-web)
elseif(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL programs)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME zantrel-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_PACKAGE_FILE_NAME zantrel-${PROJECT_VERSION}-win32)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL programs development)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME zantrel)
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)  # the SDL2 runtime, the C and C++ runtimes
  set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "Interactive metaballs demo
Drag the three balls of a metaball field with the mouse and watch the contour
where their summed field reaches its threshold. Also zantrel-render, which
draws the demo's frames without a screen, and zantrel-mesh-pictures, which
draws a cube and a sphere with the library's mesh routines.")
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME zantrel-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS libsdl2-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Metaball field, contour tracer and drawing surface (development)
Static libraries and headers of the library under the zantrel demo: a scene
of balls with its field function and picking, a marching-squares contour
tracer, and an off-screen drawing surface with lines, copies, triangle fills
and mesh views, over a software implementation of the Windows user32/gdi32
calls it makes. For CMake (find_package(Zantrel)) and pkg-config (zantrel).")
endif()
include(CPack)
