# End-to-end tests against the servers of the kestro_e2e fixture (tests/e2e/README.md).
# Any folder may include this file and then use:
#
#   kestro_e2e_test(NAME SOURCES ... [DEPS ...])
#       a GoogleTest executable like kestro_test, whose tests carry the label e2e, need the
#       fixture (ctest starts the servers first, even with -R) and find its env file through
#       $KESTRO_E2E_ENV.
#   kestro_e2e_properties(TEST...)
#       the same for tests added with add_test().
#
# Settings: KESTRO_E2E_BASEPORT (cache, default 24100): the first of 20 ports on 127.0.0.1,
# below the range Linux takes client ports from (32768-60999), so no outgoing connection can
# hold one of them.

set(KESTRO_E2E_BASEPORT 24100 CACHE STRING "First of the 20 ports of 127.0.0.1 the e2e servers use")

# Where the fixture keeps its servers and its env file (build tree, one per build directory).
function(kestro_e2e_paths dir_var env_var)
  set(${dir_var} ${PROJECT_BINARY_DIR}/e2e PARENT_SCOPE)
  set(${env_var} ${PROJECT_BINARY_DIR}/e2e/e2e.env PARENT_SCOPE)
endfunction()

function(kestro_e2e_properties)
  kestro_e2e_paths(dir env)
  set_tests_properties(${ARGN} PROPERTIES LABELS e2e FIXTURES_REQUIRED kestro_e2e
    ENVIRONMENT "KESTRO_E2E_ENV=${env}" ENVIRONMENT_MODIFICATION "KESTRO_CLOCK=set:none")
endfunction()

function(kestro_e2e_test name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  kestro_e2e_paths(dir env)
  add_executable(${name} ${K_SOURCES})
  target_link_libraries(${name} PRIVATE ${K_DEPS} GTest::gtest kestro_test_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    KESTRO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KESTRO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # One value per property: gtest_discover_tests (CMake 3.25) writes a list value as separate
  # arguments, so a second variable would turn into a property name and be lost. Hence the clock
  # guard through ENVIRONMENT_MODIFICATION; E2eEnv.h's Load() also sets QT_QPA_PLATFORM=offscreen
  # and KESTRO_CLOCK=none when they are unset.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}."
    PROPERTIES LABELS e2e FIXTURES_REQUIRED kestro_e2e
    ENVIRONMENT "KESTRO_E2E_ENV=${env}" ENVIRONMENT_MODIFICATION "KESTRO_CLOCK=set:none")
endfunction()
