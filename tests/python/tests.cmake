# The Python package's tests: pytest on Debian's interpreter, importing the package built in <build>/python.
if(TARGET talvane_python AND TARGET talvane_sample_db)
  set(python_test_environment
    "PYTHONPATH=${TALVANE_PYTHON_DIR}"
    "PYTHONDONTWRITEBYTECODE=1"
    "TALVANE_CLI=$<TARGET_FILE:talvane_cli>"
    "TALVANE_SAMPLE_DB=${TALVANE_SAMPLE_DB}"
    "TALVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(TALVANE_SANITIZE MATCHES "address")
    # The interpreter is not instrumented: the sanitizer's runtime is loaded first, and Python's own
    # allocations, kept until exit, are not reported as leaks.
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.asan-x86_64.so
                    OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    list(APPEND python_test_environment "LD_PRELOAD=${asan_runtime}" "ASAN_OPTIONS=detect_leaks=0")
  endif()
  add_test(NAME Python.Package
    COMMAND ${Python_EXECUTABLE} -m pytest -q -p no:cacheprovider ${CMAKE_CURRENT_LIST_DIR})
  set_tests_properties(Python.Package PROPERTIES ENVIRONMENT "${python_test_environment}")
endif()
