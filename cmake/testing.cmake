# zantrel_add_test(<name> SOURCES ... LIBS ...): one GoogleTest executable, one ctest entry that
# writes JUnit XML into the results folder (scripts/test sums the cases from there).
#
# GoogleTest is Debian's natively and built from its sources (/usr/src/googletest) for the Win32
# and WebAssembly builds. Where it is missing (a machine set up only to run the app), ZANTREL_TESTS
# is off and the tests are left out.
if(CMAKE_CROSSCOMPILING)
  if(EXISTS /usr/src/googletest/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  endif()
else()
  find_package(GTest)
endif()
set(ZANTREL_TESTS OFF)
if(NOT TARGET GTest::gtest_main)
  message(STATUS "GoogleTest is missing (Debian: libgtest-dev): the tests are left out")
  return()
endif()
set(ZANTREL_TESTS ON)
set(ZANTREL_GTEST_LIBS GTest::gtest_main)

enable_testing()

# Test programs see the results folder through Wine's Z: drive in the Win32 build.
if(WIN32)
  set(ZANTREL_RESULTS_ARG "Z:${ZANTREL_RESULTS_DIR}")
else()
  set(ZANTREL_RESULTS_ARG "${ZANTREL_RESULTS_DIR}")
endif()

function(zantrel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ZANTREL_GTEST_LIBS} zantrel_options)
  if(EMSCRIPTEN)
    target_link_options(${name} PRIVATE ${ZANTREL_WEB_TEST_LINK_OPTIONS})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${ZANTREL_RESULTS_ARG}/${name}.xml)
  set_tests_properties(${name} PROPERTIES LABELS unit)  # the unit tests proper, for ctest -L unit
endfunction()
