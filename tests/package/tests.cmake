# Installs the library into a scratch prefix and builds a program that consumes it with find_package.
add_test(NAME Package.ConsumedThroughFindPackage
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${PROJECT_BINARY_DIR}
    -DCONSUMER_DIR=${CMAKE_CURRENT_LIST_DIR}/consumer
    -DWORK_DIR=${PROJECT_BINARY_DIR}/package-test
    -DGENERATOR=${CMAKE_GENERATOR}
    -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
    -DSANITIZE=${TALVANE_SANITIZE}
    -P ${CMAKE_CURRENT_LIST_DIR}/consume.cmake)
