# What `cmake --install` puts under the prefix, in two components: "programs" (the three programs,
# their manual pages and the app's desktop entry) and "development" (the library for other
# builds: headers under include/zantrel/, static libraries, a CMake package and pkg-config files).
#
# Installed headers include each other by paths relative to themselves ("ball.h",
# "../field/obj_list.h"), so they resolve the same in the source tree and under include/zantrel/,
# and a user's include path needs only <prefix>/include.
include(CMakePackageConfigHelpers)

# Installing needs only the installed targets built, not every test: scripts/package installs from
# build folders that hold just the programs and libraries.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The WebAssembly build is the page, its program and a note: a folder for any web server, zipped
# by scripts/package.
if(EMSCRIPTEN)
  install(FILES app/web/zantrel.html app/web/README.txt $<TARGET_FILE:zantrel> DESTINATION .
          COMPONENT programs)
  include(cmake/package.cmake)
  return()
endif()

set(ZANTREL_CMAKE_DIR lib/cmake/Zantrel)
set(ZANTREL_GENERATED ${CMAKE_BINARY_DIR}/package)

install(TARGETS zantrel zantrel-render zantrel-mesh-pictures
        RUNTIME DESTINATION bin COMPONENT programs)
if(NOT WIN32)
  foreach(page zantrel zantrel-render zantrel-mesh-pictures)
    # The version filled in; compressed without a name or time stamp, so that packages built twice
    # are the same.
    set(manual ${ZANTREL_GENERATED}/${page}.1)
    configure_file(docs/man/${page}.1 ${manual} @ONLY)
    add_custom_command(OUTPUT ${manual}.gz COMMAND gzip -9 -n -f -k ${manual} DEPENDS ${manual}
                       VERBATIM)
    list(APPEND ZANTREL_MANUAL_PAGES ${manual}.gz)
  endforeach()
  install(FILES ${ZANTREL_MANUAL_PAGES} DESTINATION share/man/man1 COMPONENT programs)
  install(FILES packaging/zantrel.desktop DESTINATION share/applications COMPONENT programs)
  # Each Debian package's copyright and changelog (compressed, as Debian keeps them).
  foreach(component_package programs:zantrel development:zantrel-dev)
    string(REPLACE ":" ";" component_package ${component_package})
    list(GET component_package 0 component)
    list(GET component_package 1 ZANTREL_DEB_PACKAGE)
    set(changelog ${ZANTREL_GENERATED}/${ZANTREL_DEB_PACKAGE}/changelog)
    configure_file(packaging/changelog.in ${changelog} @ONLY)
    add_custom_command(OUTPUT ${changelog}.gz COMMAND gzip -9 -n -f -k ${changelog}
                       DEPENDS ${changelog} VERBATIM)
    list(APPEND ZANTREL_CHANGELOGS ${changelog}.gz)
    install(FILES packaging/copyright ${changelog}.gz DESTINATION share/doc/${ZANTREL_DEB_PACKAGE}
            COMPONENT ${component})
  endforeach()
  add_custom_target(zantrel_package_documents ALL DEPENDS ${ZANTREL_MANUAL_PAGES} ${ZANTREL_CHANGELOGS})
endif()

# Zantrel::zantrel is the whole library; Zantrel::entry the process entry for a WinMain.
add_library(zantrel_library INTERFACE)
target_link_libraries(zantrel_library INTERFACE zantrel_contour zantrel_surface zantrel_field
                      zantrel_platform)
set_target_properties(zantrel_library PROPERTIES EXPORT_NAME zantrel)
foreach(part field contour surface platform entry)
  set_target_properties(zantrel_${part} PROPERTIES EXPORT_NAME ${part})
  target_include_directories(zantrel_${part} INTERFACE $<INSTALL_INTERFACE:include>)
endforeach()
install(TARGETS zantrel_field zantrel_contour zantrel_surface zantrel_platform zantrel_entry
                zantrel_library
        EXPORT ZantrelTargets ARCHIVE DESTINATION lib COMPONENT development)

foreach(part field contour surface)
  install(DIRECTORY ${part}/ DESTINATION include/zantrel/${part} COMPONENT development
          FILES_MATCHING PATTERN "*.h")
endforeach()
install(FILES platform/win32.h DESTINATION include/zantrel/platform COMPONENT development)
if(NOT WIN32)
  install(FILES platform/native/windows.h DESTINATION include/zantrel/platform/native
          COMPONENT development)
endif()
install(FILES ${CMAKE_BINARY_DIR}/include/zantrel/version.h DESTINATION include/zantrel
        COMPONENT development)

install(EXPORT ZantrelTargets NAMESPACE Zantrel:: DESTINATION ${ZANTREL_CMAKE_DIR}
        COMPONENT development)
configure_package_config_file(cmake/ZantrelConfig.cmake.in ${ZANTREL_GENERATED}/ZantrelConfig.cmake
                              INSTALL_DESTINATION ${ZANTREL_CMAKE_DIR})
write_basic_package_version_file(${ZANTREL_GENERATED}/ZantrelConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${ZANTREL_GENERATED}/ZantrelConfig.cmake ${ZANTREL_GENERATED}/ZantrelConfigVersion.cmake
        DESTINATION ${ZANTREL_CMAKE_DIR} COMPONENT development)

# pkg-config: zantrel.pc for the library, zantrel-entry.pc adds the process entry.
if(WIN32)
  set(ZANTREL_PC_REQUIRES "")
  set(ZANTREL_PC_PLATFORM_LIBS "-luser32 -lgdi32")  # the platform layer is Windows itself
  set(ZANTREL_PC_ENTRY_LIBS "-mwindows")
else()
  set(ZANTREL_PC_REQUIRES "sdl2")
  set(ZANTREL_PC_PLATFORM_LIBS "-lzantrel_platform")
  set(ZANTREL_PC_ENTRY_LIBS "-L\${libdir} -lzantrel_entry")
endif()
foreach(pc zantrel zantrel-entry)
  configure_file(cmake/${pc}.pc.in ${ZANTREL_GENERATED}/${pc}.pc @ONLY)
  install(FILES ${ZANTREL_GENERATED}/${pc}.pc DESTINATION lib/pkgconfig COMPONENT development)
endforeach()
include(cmake/package.cmake)
