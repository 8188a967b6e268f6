# A host written in plain C: builds a whole report through the C interface and prints the statement.
# Registered on its own (its checks, and no leak under the sanitizers) and run by the component tests,
# which compare its statement with the one the C++ objects give.
add_executable(talvane_capi_report ${CMAKE_CURRENT_LIST_DIR}/report.c)
set_target_properties(talvane_capi_report PROPERTIES C_STANDARD 11 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
target_link_libraries(talvane_capi_report PRIVATE talvane_c SQLite::SQLite3 talvane_options)
if(TALVANE_SANITIZE)
  # The sanitizer runtime goes into executables only, and a C link leaves out its C++ part, which the
  # C++ code inside talvane_c needs. The program stays C; only its link uses the C++ driver.
  set_target_properties(talvane_capi_report PROPERTIES LINKER_LANGUAGE CXX)
endif()

add_test(NAME CApiReport.BuildsStatementOnSqlServer
  COMMAND talvane_capi_report ${CMAKE_CURRENT_BINARY_DIR}/capi_report_sqlserver.db SQLOLEDB.1)
add_test(NAME CApiReport.BuildsStatementOnAccess
  COMMAND talvane_capi_report ${CMAKE_CURRENT_BINARY_DIR}/capi_report_access.db Microsoft.Jet.OLEDB.4.0)

add_dependencies(talvane_component_tests talvane_capi_report)
target_link_libraries(talvane_component_tests PRIVATE talvane_c)
target_compile_definitions(talvane_component_tests PRIVATE TALVANE_CAPI_REPORT="$<TARGET_FILE:talvane_capi_report>")
