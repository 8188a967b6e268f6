# Tests of the `talvane` program run as a user runs it: a process, its standard output, standard error and
# exit code, on the examples and the sample database built from them.
# A test program that runs the program (through cli_process.cpp) gets where the program and its files are.
function(talvane_runs_cli target)
  target_compile_definitions(${target} PRIVATE
    TALVANE_CLI_PROGRAM="$<TARGET_FILE:talvane_cli>"
    TALVANE_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples"
    TALVANE_SAMPLE_DB="${TALVANE_SAMPLE_DB}"
    TALVANE_CLI_EXPECTED_DIR="${PROJECT_SOURCE_DIR}/tests/cli/expected")
  add_dependencies(${target} talvane_cli talvane_sample_db)
endfunction()

if(TARGET talvane_sample_db)
  file(GLOB cli_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  add_executable(talvane_cli_tests ${cli_test_sources})
  target_link_libraries(talvane_cli_tests PRIVATE GTest::gtest_main SQLite::SQLite3 talvane_cli_core talvane_options)
  talvane_runs_cli(talvane_cli_tests)
  target_compile_definitions(talvane_cli_tests PRIVATE TALVANE_VERSION="${PROJECT_VERSION}")
  gtest_discover_tests(talvane_cli_tests DISCOVERY_MODE PRE_TEST)
endif()

# The manual page carries the version of the project, as --version prints it.
if(TARGET talvane_man)
  add_test(NAME Cli.ManPageCarriesTheVersion COMMAND ${CMAKE_COMMAND} -E cat ${PROJECT_BINARY_DIR}/man/talvane.1)
  set_tests_properties(Cli.ManPageCarriesTheVersion PROPERTIES
    PASS_REGULAR_EXPRESSION "TH TALVANE \"1\" \"[^\"]*\" \"talvane ${PROJECT_VERSION}\"")
endif()
