# Builds a SQLite database from SQL scripts, run in order, with the sqlite3 program:
#   cmake -DSQLITE3=<program> -DOUTPUT=<file.db> -DSCRIPTS=<a.sql,b.sql> -P make_sample_db.cmake
# The database is written beside the output and renamed at the end, so a failing script never leaves a
# half-built database behind for the tests and the examples to use.
string(REPLACE "," ";" scripts "${SCRIPTS}")
set(partial "${OUTPUT}.partial")
file(REMOVE "${partial}" "${OUTPUT}")
foreach(script IN LISTS scripts)
  execute_process(COMMAND "${SQLITE3}" -bail "${partial}"
                  INPUT_FILE "${script}" RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "${script}: ${errors}")
  endif()
endforeach()
file(RENAME "${partial}" "${OUTPUT}")
