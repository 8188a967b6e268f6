# The examples of the documents run: formulas with their statements in each dialect and commands with
# their output (against the program and the sample database), and the host programs of the host guide,
# compiled from the guide's text and run.
if(NOT TALVANE_SAMPLE_DB)
  return()
endif()
# The system's interpreter: the script needs nothing beyond Python's own library.
find_program(TALVANE_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT TALVANE_PYTHON3)
  talvane_left_out("/usr/bin/python3 not found: the documentation examples are left out")
  return()
endif()

set(doc_examples ${CMAKE_CURRENT_LIST_DIR}/doc_examples.py)
foreach(doc formula-language host-guide command-line)
  add_test(NAME Docs.ExamplesOf_${doc}
    COMMAND ${TALVANE_PYTHON3} ${doc_examples} check ${PROJECT_SOURCE_DIR}/docs/${doc}.md
            $<TARGET_FILE:talvane_cli> ${TALVANE_SAMPLE_DB})
endforeach()

# A host program of the guide: extracted from the guide at build time into <build>/tests/docs/, built, and
# run by a test that compares its output with the guide's.
set(host_guide ${PROJECT_SOURCE_DIR}/docs/host-guide.md)
function(talvane_doc_host_program kind source target)
  set(path ${CMAKE_CURRENT_BINARY_DIR}/docs/${source})
  add_custom_command(OUTPUT ${path}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/docs
    COMMAND ${TALVANE_PYTHON3} ${doc_examples} extract ${host_guide} ${kind} ${path}
    DEPENDS ${host_guide} ${doc_examples}
    VERBATIM)
  add_executable(${target} ${path})
  add_test(NAME Docs.HostProgram_${kind}
    COMMAND ${TALVANE_PYTHON3} ${doc_examples} host ${host_guide} ${kind} $<TARGET_FILE:${target}>
            ${TALVANE_SAMPLE_DB})
endfunction()

talvane_doc_host_program(cpp-host host.cpp talvane_doc_cpp_host)
target_link_libraries(talvane_doc_cpp_host PRIVATE talvane_static talvane_options)

talvane_doc_host_program(c-host host.c talvane_doc_c_host)
set_target_properties(talvane_doc_c_host PROPERTIES C_STANDARD 11 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
target_link_libraries(talvane_doc_c_host PRIVATE talvane_c talvane_options)
if(TALVANE_SANITIZE)
  # As for the C test host: the sanitizer runtime's C++ part comes with the C++ driver's link.
  set_target_properties(talvane_doc_c_host PROPERTIES LINKER_LANGUAGE CXX)
endif()
