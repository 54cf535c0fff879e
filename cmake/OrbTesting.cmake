# GoogleTest from the distribution's source package (nothing is downloaded),
# built with our compiler so the same tests run natively and, for Windows
# builds, under Wine.
set(ORB_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${ORB_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Every Windows test program runs through this wrapper: private Wine prefix
  # in the build tree, no proxy variables, refuses programs that Wine would
  # silently not run (32-bit).
  set(ORB_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_SOURCE_DIR}/tools/wine/wine-run;--prefix;${ORB_WINEPREFIX})
endif()

# orb_add_gtest(<name> SOURCES ... LIBS ...)
# One test program per subsystem; every test in it becomes a CTest test.
function(orb_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  orb_target_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    # Under Wine a program that did not run at all may still exit 0, so a
    # test passes only when GoogleTest itself says that it passed.
    # A test that skips itself (GTEST_SKIP, with its reason) counts as
    # skipped, not as failed.
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
                 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] 1 test,"
                 TIMEOUT 120)
    # And a program whose test list came back empty is a failure, not a
    # silently smaller suite.
    add_test(NAME ${name}.lists_tests COMMAND ${name} --gtest_list_tests)
    set_tests_properties(${name}.lists_tests PROPERTIES
      PASS_REGULAR_EXPRESSION "\n  [A-Za-z_]")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
  endif()
endfunction()
