# The property of `talvane check`: every generated definition it passes has a SQLite statement that compiles
# and runs to completion on the sample database, and a SQL Server statement that parses as T-SQL. Runs check
# in-process through the command's core library.
if(TARGET talvane_sample_db)
  file(GLOB check_property_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  add_executable(talvane_check_property_tests ${check_property_sources})
  find_package(ZLIB REQUIRED)
  target_link_libraries(talvane_check_property_tests PRIVATE talvane_cli_core GTest::gtest_main talvane_options
                        ZLIB::ZLIB)
  target_compile_definitions(talvane_check_property_tests PRIVATE
    TALVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TALVANE_SAMPLE_DB="${TALVANE_SAMPLE_DB}")
  add_dependencies(talvane_check_property_tests talvane_sample_db)
  gtest_discover_tests(talvane_check_property_tests DISCOVERY_MODE PRE_TEST)
endif()
