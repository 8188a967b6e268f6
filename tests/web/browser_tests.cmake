# The rule editor in Chromium, driven by Playwright: npm installs playwright-core into the build, the
# server starts before the test and stops after it, also when it fails (CTest fixtures).
find_program(TALVANE_NODE_PROGRAM node)
find_program(TALVANE_NPM_PROGRAM npm)
find_program(TALVANE_CHROMIUM_PROGRAM chromium)
if(TALVANE_NODE_PROGRAM AND TALVANE_NPM_PROGRAM AND TALVANE_CHROMIUM_PROGRAM)
  set(web_dir ${PROJECT_SOURCE_DIR}/tests/web)
  set(web_build_dir ${PROJECT_BINARY_DIR}/web-tests)
  add_test(NAME Browser.InstallPlaywright COMMAND bash ${web_dir}/install.sh ${web_build_dir})
  add_test(NAME Browser.StartServer COMMAND bash ${web_dir}/editor_server.sh start $<TARGET_FILE:talvane_cli>
                                            ${TALVANE_SAMPLE_DB} ${web_build_dir}/server)
  add_test(NAME Browser.StopServer COMMAND bash ${web_dir}/editor_server.sh stop ${web_build_dir}/server)
  add_test(NAME Browser.RuleEditor COMMAND ${TALVANE_NODE_PROGRAM} ${web_dir}/rule_editor.test.cjs)
  set_tests_properties(Browser.InstallPlaywright PROPERTIES FIXTURES_SETUP playwright)
  set_tests_properties(Browser.StartServer PROPERTIES FIXTURES_SETUP editor_server)
  set_tests_properties(Browser.StopServer PROPERTIES FIXTURES_CLEANUP editor_server)
  set_tests_properties(Browser.RuleEditor PROPERTIES
    FIXTURES_REQUIRED "playwright;editor_server"
    TIMEOUT 180
    ENVIRONMENT "TALVANE_WEB_TESTS_DIR=${web_build_dir};TALVANE_CLI_PROGRAM=$<TARGET_FILE:talvane_cli>;TALVANE_SAMPLE_DB=${TALVANE_SAMPLE_DB};TALVANE_EXAMPLES_DIR=${PROJECT_SOURCE_DIR}/examples;TALVANE_CHROMIUM=${TALVANE_CHROMIUM_PROGRAM}")
else()
  talvane_left_out("node, npm or chromium not found: the browser tests are left out (scripts/setup.sh installs them)")
endif()
