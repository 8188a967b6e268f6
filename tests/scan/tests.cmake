# `talvane scan` run as CI runs it (exit codes, JSON, the JUnit schema's rules), and its HTML page in
# Chromium; the library's own scan tests are the program talvane_scan_tests.
if(NOT TARGET talvane_cli OR NOT TALVANE_SAMPLE_DB)
  return()
endif()
find_program(TALVANE_SCAN_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(TALVANE_SCAN_PYTHON3)
  add_test(NAME Scan.CommandExitCodesJsonAndJunitSchema
    COMMAND ${TALVANE_SCAN_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/scan_command_check.py $<TARGET_FILE:talvane_cli>
            ${TALVANE_SAMPLE_DB} ${PROJECT_SOURCE_DIR}/examples)
endif()

# The page in Chromium, with playwright-core as the browser tests of the rule editor install it.
find_program(TALVANE_SCAN_NODE node)
find_program(TALVANE_SCAN_NPM npm)
find_program(TALVANE_SCAN_CHROMIUM chromium)
if(TALVANE_SCAN_NODE AND TALVANE_SCAN_NPM AND TALVANE_SCAN_CHROMIUM)
  set(scan_web_dir ${PROJECT_BINARY_DIR}/web-tests)
  add_test(NAME Browser.ScanPage COMMAND ${TALVANE_SCAN_NODE} ${CMAKE_CURRENT_LIST_DIR}/scan_page.test.cjs)
  set_tests_properties(Browser.ScanPage PROPERTIES
    FIXTURES_REQUIRED playwright
    TIMEOUT 120
    ENVIRONMENT "TALVANE_WEB_TESTS_DIR=${scan_web_dir};TALVANE_CLI_PROGRAM=$<TARGET_FILE:talvane_cli>;TALVANE_SAMPLE_DB=${TALVANE_SAMPLE_DB};TALVANE_EXAMPLES_DIR=${PROJECT_SOURCE_DIR}/examples;TALVANE_CHROMIUM=${TALVANE_SCAN_CHROMIUM};TALVANE_SCAN_SCREENSHOT=${scan_web_dir}/scan-report.png")
endif()
