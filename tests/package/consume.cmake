file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "install failed")
endif()
# The consumer is built like the library: same compiler, and the same sanitizers when the library has them
# (an instrumented static library needs their run-time libraries at link time).
set(consumer_options -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
if(SANITIZE)
  list(APPEND consumer_options "-DCMAKE_CXX_FLAGS=-fsanitize=${SANITIZE}"
                               "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=${SANITIZE}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
                        -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix ${consumer_options} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "building the consumer failed")
endif()
execute_process(COMMAND ${WORK_DIR}/build/consumer RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc)
  message(FATAL_ERROR "the consumer failed: ${out}")
endif()
message(STATUS "consumer printed: ${out}")
