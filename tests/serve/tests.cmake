# Tests of `talvane serve`: the server runs in-process on 127.0.0.1 and a free port and is asked over HTTP;
# the browser tests drive the page in Chromium against the real program. The label `server` marks the tests
# that scripts/test.sh --thread runs under the thread sanitizer.
if(TARGET talvane_sample_db)
  add_executable(talvane_serve_tests ${CMAKE_CURRENT_LIST_DIR}/server_test.cpp)
  target_link_libraries(talvane_serve_tests PRIVATE talvane_serve PkgConfig::CPP_HTTPLIB GTest::gtest_main
                                                    talvane_options)
  target_compile_definitions(talvane_serve_tests PRIVATE
    TALVANE_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples"
    TALVANE_SAMPLE_DB="${TALVANE_SAMPLE_DB}"
    TALVANE_CLI_EXPECTED_DIR="${PROJECT_SOURCE_DIR}/tests/cli/expected")
  add_dependencies(talvane_serve_tests talvane_sample_db)
  gtest_discover_tests(talvane_serve_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS server)
  include(${PROJECT_SOURCE_DIR}/tests/web/browser_tests.cmake)
endif()
