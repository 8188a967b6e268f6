# Language level 2 against its meaning: generated level-2 definitions run by the program on a copy of the
# sample database with planted anomalies, their rows compared with an evaluation of the rules in Python.
if(NOT TARGET talvane_cli OR NOT TALVANE_SAMPLE_DB)
  return()
endif()
find_program(TALVANE_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT TALVANE_PYTHON3)
  message(STATUS "/usr/bin/python3 not found: the level 2 differential test is left out")
  return()
endif()
add_test(NAME LevelTwo.RowsEqualTheRulesMeaning
  COMMAND ${TALVANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/differential.py $<TARGET_FILE:talvane_cli> ${TALVANE_SAMPLE_DB} 300)
