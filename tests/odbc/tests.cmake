# The ODBC backend against three real drivers, each a suite of its own: the SQLite driver on the sample
# database, a private PostgreSQL server started for the run (a fixture), and FreeTDS without a server. The
# drivers are named by the path of their library, so no ODBC registration of the machine is needed.
if(TARGET talvane_odbc)
  find_library(TALVANE_SQLITE_ODBC_DRIVER NAMES sqlite3odbc PATH_SUFFIXES odbc)
  find_library(TALVANE_POSTGRES_ODBC_DRIVER NAMES psqlodbcw.so PATH_SUFFIXES odbc)
  find_library(TALVANE_FREETDS_ODBC_DRIVER NAMES tdsodbc PATH_SUFFIXES odbc)

  add_library(talvane_odbc_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/support/odbc_test_support.cpp)
  target_include_directories(talvane_odbc_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR}/support)
  target_link_libraries(talvane_odbc_test_support PUBLIC talvane_odbc talvane_test_support GTest::gtest)

  if(TALVANE_SQLITE_ODBC_DRIVER AND TARGET talvane_sample_db)
    add_executable(talvane_odbc_sqlite_tests ${CMAKE_CURRENT_LIST_DIR}/sqlite_driver_test.cpp
                                             ${PROJECT_SOURCE_DIR}/tests/cli/cli_process.cpp)
    target_include_directories(talvane_odbc_sqlite_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/cli)
    target_link_libraries(talvane_odbc_sqlite_tests PRIVATE talvane_odbc_test_support SQLite::SQLite3
                                                            GTest::gtest_main)
    target_compile_definitions(talvane_odbc_sqlite_tests PRIVATE
      TALVANE_SQLITE_ODBC_DRIVER="${TALVANE_SQLITE_ODBC_DRIVER}")
    talvane_runs_cli(talvane_odbc_sqlite_tests)
    gtest_discover_tests(talvane_odbc_sqlite_tests DISCOVERY_MODE PRE_TEST)
  endif()

  find_program(TALVANE_INITDB NAMES initdb PATHS /usr/lib/postgresql/*/bin NO_DEFAULT_PATH)
  if(TALVANE_POSTGRES_ODBC_DRIVER AND TALVANE_INITDB AND TARGET talvane_cli AND TARGET talvane_sample_db)
    set(cluster ${CMAKE_CURRENT_BINARY_DIR}/postgres-cluster)
    set(cluster_script ${CMAKE_CURRENT_LIST_DIR}/postgres_cluster.sh)
    add_test(NAME OdbcPostgres.StartServer
             COMMAND bash ${cluster_script} setup ${cluster} ${CMAKE_CURRENT_LIST_DIR}/postgres_schema.sql)
    add_test(NAME OdbcPostgres.StopServer COMMAND bash ${cluster_script} teardown ${cluster})
    set_tests_properties(OdbcPostgres.StartServer PROPERTIES FIXTURES_SETUP postgres_server)
    set_tests_properties(OdbcPostgres.StopServer PROPERTIES FIXTURES_CLEANUP postgres_server)

    add_executable(talvane_odbc_postgres_tests ${CMAKE_CURRENT_LIST_DIR}/postgres_driver_test.cpp
                                               ${PROJECT_SOURCE_DIR}/tests/cli/cli_process.cpp)
    target_include_directories(talvane_odbc_postgres_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/cli)
    target_link_libraries(talvane_odbc_postgres_tests PRIVATE talvane_odbc_test_support SQLite::SQLite3
                                                              GTest::gtest_main)
    talvane_runs_cli(talvane_odbc_postgres_tests)
    target_compile_definitions(talvane_odbc_postgres_tests PRIVATE
      TALVANE_POSTGRES_ODBC_DRIVER="${TALVANE_POSTGRES_ODBC_DRIVER}"
      TALVANE_POSTGRES_CLUSTER="${cluster}" TALVANE_POSTGRES_SCRIPT="${cluster_script}")
    gtest_discover_tests(talvane_odbc_postgres_tests DISCOVERY_MODE PRE_TEST
      PROPERTIES FIXTURES_REQUIRED postgres_server RESOURCE_LOCK postgres_server)
  endif()

  if(TALVANE_FREETDS_ODBC_DRIVER)
    add_executable(talvane_odbc_freetds_tests ${CMAKE_CURRENT_LIST_DIR}/freetds_driver_test.cpp)
    target_link_libraries(talvane_odbc_freetds_tests PRIVATE talvane_odbc_test_support GTest::gtest_main)
    target_compile_definitions(talvane_odbc_freetds_tests PRIVATE
      TALVANE_FREETDS_ODBC_DRIVER="${TALVANE_FREETDS_ODBC_DRIVER}")
    gtest_discover_tests(talvane_odbc_freetds_tests DISCOVERY_MODE PRE_TEST)
  endif()
endif()

# The PostgreSQL dialect against the SQLite one on a copy of the sample database, on the same private server.
if(TARGET talvane_odbc AND TARGET talvane_cli_core AND TARGET talvane_sample_db AND TALVANE_POSTGRES_ODBC_DRIVER
   AND TALVANE_INITDB)
  add_executable(talvane_postgres_differential_tests ${CMAKE_CURRENT_LIST_DIR}/postgres_differential_test.cpp
                                                     ${PROJECT_SOURCE_DIR}/tests/check_property/definition_generator.cpp)
  target_include_directories(talvane_postgres_differential_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/check_property)
  target_link_libraries(talvane_postgres_differential_tests PRIVATE talvane_odbc_test_support talvane_cli_core
                                                                    SQLite::SQLite3 GTest::gtest_main)
  target_compile_definitions(talvane_postgres_differential_tests PRIVATE
    TALVANE_POSTGRES_ODBC_DRIVER="${TALVANE_POSTGRES_ODBC_DRIVER}" TALVANE_POSTGRES_CLUSTER="${cluster}"
    TALVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TALVANE_SAMPLE_DB="${TALVANE_SAMPLE_DB}")
  add_dependencies(talvane_postgres_differential_tests talvane_sample_db)
  gtest_discover_tests(talvane_postgres_differential_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES FIXTURES_REQUIRED postgres_server RESOURCE_LOCK postgres_server)
endif()
